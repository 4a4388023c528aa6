#pragma once

class QDialog;

// Shows a dialog without making it modal and returns once it has finished (OK, Cancel, Esc or
// its close box), with its result; every window of the program keeps answering meanwhile. A
// dialog destroyed before it finished counts as rejected.
int showAndWait(QDialog& dialog);
