// The verb that carries print formats between databases as files, and lists a format's rows.
#include <QFile>

#include "DocumentKind.h"
#include "FormatBackground.h"
#include "FormatFile.h"
#include "FormatGrid.h"
#include "FormatStore.h"
#include "OutputFile.h"
#include "VerbSession.h"
#include "Verbs.h"

using namespace Qt::StringLiterals;

namespace {

int refused(const Io& io, const QString& reason) {
    write(io.err, "chequeprint: " + reason.toUtf8() + '\n');
    return 1;
}

QString number(double value) {
    return QString::number(value, 'g', 15);
}

// The rows as the format tab shows them: its headings, then a row a field, flags as √.
int showFormat(VerbSession& s, const QString& name, const DocumentKind& kind, const Io& io) {
    const std::optional<FormatFile> file = storedFormatFile(s.db, name, kind);
    if (!file)
        return refused(io, u"没有这个格式：%1"_s.arg(name));
    QStringList lines{formatGridHeadings().mid(1).join(u'\t')};
    const auto tick = [](bool on) { return on ? u"√"_s : QString(); };
    int place = 0;
    for (const FormatFileField& field : file->fields) {
        // The tab shows the stored numbers, from the corner of the field's part.
        const double shift =
            partShift(kind, fieldByIdentifier(kind, field.identifier), file->page.s);
        const TextFont& font = field.font;
        lines << QStringList{QString::number(++place),
                             field.identifier,
                             number(field.at.x - shift),
                             number(field.at.y),
                             number(field.at.s),
                             QString::number(font.color),
                             font.name,
                             number(font.size),
                             tick(font.bold),
                             tick(font.italic),
                             tick(font.underline),
                             tick(font.strikethrough)}
                     .join(u'\t');
    }
    lines << u"页边距\t%1\t%2\t票根宽\t%3"_s.arg(number(file->page.x), number(file->page.y),
                                                 number(file->page.s));
    return writeOut(io, lines.join(u'\n').toUtf8() + '\n');
}

int exportFormat(VerbSession& s, const Arguments& args, const QString& target,
                 const DocumentKind& kind, const Io& io) {
    const QString name = args.inputs[1];
    const std::optional<FormatFile> file =
        storedFormatFile(s.db, name, kind, args.has(u"--with-background"_s));
    if (!file)
        return refused(io, u"没有这个格式：%1"_s.arg(name));
    OutputFile out(target);
    const QByteArray json = formatFileJson(*file);
    if (!out.open() || out.device().write(json) != json.size() || !out.commit())
        return refused(io, u"cannot write "_s + target + u": "_s + out.errorString());
    return 0;
}

int importFormat(VerbSession& s, const Arguments& args, const QString& source, const Io& io) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return refused(io, u"cannot read "_s + source + u": "_s + in.errorString());
    // One byte more than allowed is enough to know the file is too big.
    QString why;
    const std::optional<FormatFile> file = readFormatFile(in.read(kMostFormatFileBytes + 1), &why);
    if (!file)
        return refused(io, why);
    const QString name = args.has(u"--name"_s) ? args.option(u"--name"_s).trimmed() : file->name;
    if (name.isEmpty())
        return refused(io, u"格式名称不能为空！"_s);
    if (storedFormatNames(s.db, file->kind).contains(name) && !args.has(u"--force"_s))
        return refused(io, u"格式“%1”已经存在（--force 覆盖，或用 --name 另取名称）"_s.arg(name));
    return storeFormatFile(s.db, *file, name) ? 0 : 1;
}

// Sets the format's background from IMAGE, or removes it with --remove.
int setBackground(VerbSession& s, const Arguments& args, const DocumentKind& kind, const Io& io) {
    const QString name = args.inputs[1];
    FormatBackground background;  // none: removed
    if (!args.has(u"--remove"_s)) {
        bool isNumber = true;
        const double dpi = args.has(u"--dpi"_s) ? args.option(u"--dpi"_s).toDouble(&isNumber) : 0;
        if (!isNumber || (args.has(u"--dpi"_s) && dpi == 0))
            return usageError(io, u"--dpi needs the scan's dots per inch, 50 to 2400"_s);
        QString why;
        const std::optional<FormatBackground> chosen =
            backgroundFromFile(args.inputs[2], dpi, &why);
        if (!chosen)
            return refused(io, why);
        background = *chosen;
    }
    switch (storeBackground(s.db, name, kind.id.toString(), background)) {
        case BackgroundStored::Stored:
            return 0;
        case BackgroundStored::NoFormat:
            return refused(io, u"没有这个格式：%1"_s.arg(name));
        case BackgroundStored::Failed:
            break;
    }
    return 1;
}

}  // namespace

int formatVerb(const Arguments& args, const Io& io) {
    const QString action = args.inputs.value(0);
    const bool removing = args.has(u"--remove"_s);
    const qsizetype wanted = action == u"export"                        ? 3
                             : action == u"show" || action == u"import" ? 2
                             : action == u"background"                  ? (removing ? 2 : 3)
                                                                        : 0;
    if (wanted == 0 || args.inputs.size() != wanted)
        return usageError(io,
                          u"format needs export NAME FILE, import FILE, show NAME or "
                          u"background NAME IMAGE (NAME --remove)"_s);
    if (action != u"import" && (args.has(u"--name"_s) || args.has(u"--force"_s)))
        return usageError(io, u"--name and --force are for format import"_s);
    if ((action != u"background" || removing) && args.has(u"--dpi"_s))
        return usageError(io, u"--dpi is for format background NAME IMAGE"_s);
    if (action != u"background" && removing)
        return usageError(io, u"--remove is for format background"_s);
    if (action != u"export" && args.has(u"--with-background"_s))
        return usageError(io, u"--with-background is for format export"_s);
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    const DocumentKind& kind = documentKind(args);
    if (action == u"show")
        return showFormat(s, args.inputs[1], kind, io);
    if (action == u"export")
        return exportFormat(s, args, args.inputs[2], kind, io);
    if (action == u"background")
        return setBackground(s, args, kind, io);
    return importFormat(s, args, args.inputs[1], io);
}
