#include "Calibration.h"

#include "FormatStore.h"
#include "NumberText.h"
#include "PrintSurface.h"

bool drawCalibrationSquare(PrintSurface& surface) {
    surface.fillBox(10, 10, 20, 20, 0);
    return surface.endDocument();
}

bool saveMeasuredMargins(Database& db, const QString& horizontal, const QString& vertical,
                         const QString& format, const Document& cheque, FormatDisplays& displays) {
    return SavePageSettings(db, numericValue(horizontal), numericValue(vertical), std::nullopt,
                            format, cheque, displays);
}
