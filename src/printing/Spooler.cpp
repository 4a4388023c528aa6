#include "Spooler.h"

#include <QCoreApplication>

#ifdef CHEQUEPRINT_HAVE_CUPS
#include <cups/cups.h>
#endif

using namespace Qt::StringLiterals;

#ifdef CHEQUEPRINT_HAVE_CUPS

namespace {

// A queue's name without the instance ("queue/instance").
QByteArray queueName(const QString& printerName) {
    return printerName.section(u'/', 0, 0).toLocal8Bit();
}

}  // namespace

bool queueTakesJobs(const QString& printerName) {
    cups_dest_t* dest =
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, queueName(printerName).constData(), nullptr);
    if (!dest)
        return false;
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    const bool takes = (!accepting || qstrcmp(accepting, "false") != 0) &&
                       (!state || atoi(state) != IPP_PSTATE_STOPPED);
    cupsFreeDests(1, dest);
    return takes;
}

SpoolerJob::SpoolerJob(const QString& name) {
    static int jobs = 0;
    m_title = u"%1-%2-%3"_s.arg(name).arg(QCoreApplication::applicationPid()).arg(++jobs);
}

void SpoolerJob::beforeEnd() {
    // Qt submits the document with cupsPrintFile on this thread as the document ends, and
    // drops its answer; libcups keeps the last answer per thread. A request that fails leaves
    // a failure there, so that a document Qt never submitted is not taken for a sent one.
    cups_dest_t* none = cupsGetNamedDest(CUPS_HTTP_DEFAULT, "chequeprint-no-such-queue", nullptr);
    cupsFreeDests(none ? 1 : 0, none);
}

bool SpoolerJob::accepted(const QString& printerName) const {
    const ipp_status_t answer = cupsLastError();
    if (answer > IPP_STATUS_OK_EVENTS_COMPLETE) {
        qWarning("chequeprint: the print queue refused the job: %s", cupsLastErrorString());
        return false;
    }
    // The job it created, if the queue still lists it: one that was aborted or cancelled at
    // once never printed.
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queueName(printerName).constData(), 1,
                                   CUPS_WHICHJOBS_ALL);
    bool refused = false;
    const QByteArray title = m_title.toLocal8Bit();
    for (int i = 0; i < count; ++i)
        if (jobs[i].title && title == jobs[i].title)
            refused = jobs[i].state == IPP_JSTATE_ABORTED || jobs[i].state == IPP_JSTATE_CANCELED;
    cupsFreeJobs(count, jobs);
    if (refused)
        qWarning("chequeprint: the print queue aborted the job %s", title.constData());
    return !refused;
}

#else

bool queueTakesJobs(const QString&) {
    return true;
}

SpoolerJob::SpoolerJob(const QString&) {}

void SpoolerJob::beforeEnd() {}

bool SpoolerJob::accepted(const QString&) const {
    return true;
}

#endif
