#pragma once

#include <QString>

// What the print spooler (CUPS) says of a queue and of the job a document became. Where there
// is no CUPS (Windows, or a build without it), every queue takes jobs and a job that ended
// well was taken.

// Whether the queue accepts jobs and is not stopped (cupsreject, cupsdisable).
bool queueTakesJobs(const QString& printerName);

// Follows one document sent to a queue through Qt: begun before the document is drawn, asked
// once it has ended.
class SpoolerJob final {
public:
    // The job's title, `name` followed by this process's and this job's numbers, is unique, so
    // that the job can be found.
    explicit SpoolerJob(const QString& name = QStringLiteral("chequeprint"));

    const QString& title() const { return m_title; }
    // Readies the answer: call just before the document ends.
    void beforeEnd();
    // Whether the spooler accepted the job: Qt's submission succeeded and the job it created
    // was not refused or aborted. Call right after the document ended.
    bool accepted(const QString& printerName) const;

private:
    QString m_title;
};
