#pragma once

#include "TextMeasure.h"

// Every text measures 0 twips wide: for tests where column widths do not matter.
class ZeroMeasure final : public TextMeasure {
public:
    double widthTwips(const QString&) override { return 0; }
};
