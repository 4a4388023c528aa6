#pragma once

#include "Clock.h"
#include "ConsolePrompts.h"
#include "Database.h"

struct Arguments;
struct Io;

// What a verb that works on the database holds: the messages on standard error (nobody is
// there to answer a question), the database and the clock.
struct VerbSession {
    explicit VerbSession(const Io& io);

    // Opens the database of --database or the user's own; false after the message was shown.
    bool open(const Arguments& args);

    ConsolePrompts prompts;
    Database db;
    Clock clock;
};
