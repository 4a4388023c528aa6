#include "FormatBackground.h"

#include <cmath>

#include <QBuffer>
#include <QImageReader>
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

std::optional<FormatBackground> storedBackground(Database& db, const QString& name,
                                                 const QString& kind) {
    std::optional<QSqlQuery> row =
        db.select(u"SELECT 图像, 分辨率 FROM 格式底图 WHERE 种类=? AND Name=?"_s, {kind, name});
    if (!row)
        return std::nullopt;
    FormatBackground background;
    if (row->next())
        background = {row->value(0).toByteArray(), row->value(1).toDouble()};
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

bool storeBackground(Database& db, const QString& name, const QString& kind,
                     const FormatBackground& background) {
    return db.atomically(
        [&] { return lockFormat(db, name, kind) && writeBackground(db, name, kind, background); });
}
