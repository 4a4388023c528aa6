#pragma once

#include <vector>

#include <QString>

// The program's own triggers in a file, as its schema steps create them and its checks compare
// them (the checks themselves are Database::journalTampering and registerTampering).

struct NamedTrigger {
    QString name;
    QString sql;
};

// The journal's update trigger: only an entry's outcome may change (and, with `withLogin`, the
// login that printed may not); and a server's function of the same rule.
QString fileUpdateTrigger(bool withLogin);
QString serverUpdateFunction(bool withLogin);
// The changes a taken cheque number allows, as a condition on OLD and NEW.
QString numberChangeAllowed();
// The journal's triggers in a file, and the register's.
const std::vector<NamedTrigger>& fileJournalTriggers();
const std::vector<NamedTrigger>& fileRegisterTriggers();
