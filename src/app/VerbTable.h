#pragma once

#include <vector>

#include <QList>
#include <QString>
#include <QStringList>

struct Arguments;
struct Io;

// One option of the command line: its value's name (empty for a switch), whether it may be given
// more than once, and its line in the usage's list of options (empty when the help of the verbs
// that take it says what it does).
struct VerbOption {
    QString name;
    QString valueName;
    bool repeatable = false;
    QString help;

    // What to type: "--pdf FILE", "--save".
    QString synopsis() const;
};

// One verb: its arguments as the usage writes them (empty when it takes none), the options it
// takes besides --database (each list one pair of brackets, options that exclude each other
// in the same list), its help, the routine that runs it (0 done, 1 failed), the options it
// cannot run without (each one a list of its own, written without brackets) and the options it
// takes as switches although other verbs give them a value (payee import --history, print
// --history ID).
struct Verb {
    QString name;
    QString arguments;
    QList<QStringList> options;
    QString help;
    int (*run)(const Arguments&, const Io&);
    QStringList required = {};
    QStringList switches = {};

    bool takesInputs() const { return !arguments.isEmpty(); }
    // Every option the verb accepts, --database first.
    QStringList optionNames() const;
    // What follows the verb's name, one item per word of the usage: its arguments, then each
    // group of options in brackets ("[--pdf FILE | --printer NAME]", "[--field KEY=TEXT]..."),
    // a required one without ("--reason TEXT").
    QStringList synopsis() const;
};

// The verbs in the order the usage lists them; the options they and the program take.
const std::vector<Verb>& verbTable();
const std::vector<VerbOption>& optionTable();
const Verb* findVerb(const QString& name);
const VerbOption* findOption(const QString& name);
