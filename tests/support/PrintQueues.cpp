#include "PrintQueues.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>

#include <QCoreApplication>
#include <QFile>
#include <QTest>

#ifdef CHEQUEPRINT_HAVE_CUPS
#include <cups/cups.h>
#endif

using namespace Qt::StringLiterals;

namespace {

struct Job {
    int id;
    bool ended;
};

// This account's jobs on every queue whose title begins with `title` (all, for an empty one).
QList<Job> jobs([[maybe_unused]] const QString& title) {
    QList<Job> found;
#ifdef CHEQUEPRINT_HAVE_CUPS
    cups_job_t* list = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &list, nullptr, 1, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < count; ++i)
        if (QString::fromLocal8Bit(list[i].title ? list[i].title : "").startsWith(title))
            found.append({list[i].id, list[i].state >= IPP_JSTATE_CANCELED});
    cupsFreeJobs(count, list);
#endif
    return found;
}

}  // namespace

QString cupsPdfOutputFolder(const QString& configuration) {
    const passwd* account = getpwuid(getuid());
    QString out = u"/var/spool/cups-pdf/${USER}"_s;  // cups-pdf's own default
    QFile file(configuration);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.startsWith(u"Out"_s) && line.size() > 3 && line[3].isSpace())
                out = line.mid(3).trimmed();
        }
    }
    return out.replace(u"${HOME}"_s, account ? QFile::decodeName(account->pw_dir) : QString())
        .replace(u"${USER}"_s, account ? QFile::decodeName(account->pw_name) : QString());
}

QString uniqueTitle(const QString& name) {
    return name + u'-' + QString::number(QCoreApplication::applicationPid());
}

PrintedJobs::PrintedJobs() : m_out(cupsPdfOutputFolder()) {
    m_pdfsBefore = m_out.entryList({u"*.pdf"_s}, QDir::Files);
    for (const Job& job : jobs({}))
        m_jobsBefore.insert(job.id);
}

int PrintedJobs::sent(const QString& title) const {
    int count = 0;
    for (const Job& job : jobs(title))
        count += !m_jobsBefore.contains(job.id);
    return count;
}

QString PrintedJobs::awaitPdf(const QString& title) const {
    const bool ended = QTest::qWaitFor(
        [&] {
            const QList<Job> all = jobs(title);
            return std::all_of(all.begin(), all.end(), [&](const Job& job) {
                return job.ended || m_jobsBefore.contains(job.id);
            });
        },
        30000);
    return ended ? pdfs(title).value(0) : QString();
}

QStringList PrintedJobs::pdfs(const QString& title) const {
    QStringList written;
    for (const QString& name : m_out.entryList({title + u"*.pdf"_s}, QDir::Files))
        if (!m_pdfsBefore.contains(name))
            written << m_out.filePath(name);
    return written;
}
