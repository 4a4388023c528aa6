#include "FormatBackground.h"

#include <cmath>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QSqlError>
#include <QSqlQuery>

#include "Database.h"
#include "FormatStore.h"

using namespace Qt::StringLiterals;

std::optional<QImage> backgroundPicture(const FormatBackground& background, QString* why) {
    const auto refuse = [why](const QString& reason) {
        *why = reason;
        return std::nullopt;
    };
    if (background.image.size() > kMostBackgroundBytes)
        return refuse(u"底图超过700KB，请降低分辨率或存为JPEG"_s);
    const double dpi = background.dotsPerInch;
    if (!std::isfinite(dpi) ||
        (dpi != 0 && (dpi < kFewestBackgroundDpi || dpi > kMostBackgroundDpi)))
        return refuse(u"底图的分辨率应在50到2400点/英寸之间"_s);
    QBuffer buffer;
    buffer.setData(background.image);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg")
        return refuse(u"底图应是PNG或JPEG图片"_s);
    // A small file may claim a huge picture, which would be unpacked at every redraw.
    const QSize size = reader.size();
    if (size.width() > kMostBackgroundPixels || size.height() > kMostBackgroundPixels)
        return refuse(u"底图超过%1×%1像素，请降低分辨率"_s.arg(kMostBackgroundPixels));
    QImage picture = reader.read();
    if (picture.isNull())
        return refuse(u"无法读取底图：%1"_s.arg(reader.errorString()));
    return picture;
}

std::optional<FormatBackground> backgroundFromFile(const QString& path, double dotsPerInch,
                                                   QString* why) {
    QFile in(path);
    FormatBackground background{{}, dotsPerInch};
    // One byte more than allowed is enough to know the file is too big.
    if (in.open(QIODevice::ReadOnly))
        background.image = in.read(kMostBackgroundBytes + 1);
    if (background.image.isEmpty()) {
        *why = u"图片无法读取：%1"_s.arg(path);
        return std::nullopt;
    }
    if (!backgroundPicture(background, why))
        return std::nullopt;
    return background;
}

std::optional<FormatBackground> storedBackground(Database& db, const QString& name,
                                                 const QString& kind) {
    std::optional<QSqlQuery> row =
        db.select(u"SELECT 图像, 分辨率 FROM 格式底图 WHERE 种类=? AND Name=?"_s, {kind, name});
    if (!row)
        return std::nullopt;
    FormatBackground background;
    if (row->next()) {
        background = {row->value(0).toByteArray(), row->value(1).toDouble()};
    } else if (row->lastError().isValid()) {
        // A row that failed to read is no "none".
        db.showStatementError(row->lastQuery());
        return std::nullopt;
    }
    return background;
}

bool writeBackground(Database& db, const QString& name, const QString& kind,
                     const FormatBackground& background) {
    const QString remove = u"DELETE FROM 格式底图 WHERE 种类=? AND Name=?"_s;
    const QString insert = u"INSERT INTO 格式底图 (种类, Name, 图像, 分辨率) VALUES (?,?,?,?)"_s;
    if (!db.execute(remove, {kind, name})) {
        db.showStatementError(remove);
        return false;
    }
    if (background.image.isEmpty() ||
        db.execute(insert, {kind, name, background.image, background.dotsPerInch}))
        return true;
    db.showStatementError(insert);
    return false;
}

BackgroundStored storeBackground(Database& db, const QString& name, const QString& kind,
                                 const FormatBackground& background) {
    bool formatFound = true;
    const bool stored = db.atomically([&] {
        if (!lockFormat(db, name, kind))
            return false;
        if (!background.image.isEmpty()) {
            std::optional<QSqlQuery> rows = db.select(
                u"SELECT 1 FROM 支票格式 WHERE 种类=? AND Name=? LIMIT 1"_s, {kind, name});
            if (!rows)
                return false;
            formatFound = rows->next() || rows->lastError().isValid();
            if (!formatFound || rows->lastError().isValid())
                return false;
        }
        return writeBackground(db, name, kind, background);
    });
    return stored        ? BackgroundStored::Stored
           : formatFound ? BackgroundStored::Failed
                         : BackgroundStored::NoFormat;
}
