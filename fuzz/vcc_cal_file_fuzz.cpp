// Feeds any bytes to the VCC calibration file reader. Besides the sanitizers it checks what the
// VCC lists rely on: an accepted file has a plausible VREF and seven supply codes of two hex
// digits up to 7F, and writing an accepted calibration out and reading it back gives it again
// (so the writer's own check never refuses a calibration the reader took).
#include "motherboard/vcc_cal_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool isCode(const QString& s)
{
    bool hex = false;
    const int v = s.toInt(&hex, 16);
    return s.size() == 2 && hex && v >= 0 && v <= 0x7F && s == s.toUpper();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const VccCalibrationRead r = parseVccCalibration(text);
    (void)r.message(QStringLiteral("/x/DCP_Cal_Data.txt"));
    check(r.ok == r.reason.isEmpty(), "a refused file says why, an accepted one does not");
    if (!r.ok)
        return 0;
    check(r.cal.vref >= kMinVref && r.cal.vref <= kMaxVref, "VREF in range");
    check(plausibleVref(r.cal.vrefText).has_value(), "VREF text reads as VREF");
    for (const QString& code : r.cal.codes())
        check(isCode(code), "supply code");

    const VccCalibrationRead again = parseVccCalibration(formatVccCalibration(r.cal));
    if (!again.ok)
        return 0; // only an empty header does not read back; the writer refuses it
    check(again.cal.header == r.cal.header && again.cal.vrefText == r.cal.vrefText && again.cal.rows == r.cal.rows,
          "written and read back it is the same calibration");
    return 0;
}
