#pragma once

// The manual page's fixed sections, in roff (UTF-8): the name, synopsis and description before
// the commands and options, and everything after them. "@DATADIR@" stands for the installed
// data folder.
extern const char kManualIntroduction[];
extern const char kManualReference[];
