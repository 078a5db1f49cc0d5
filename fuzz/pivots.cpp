// Pivot placement: any record text. The level texts are shown as the record writes them, a level
// between S3 and R3 is placed on the scale between them, and a column whose scale cannot be drawn
// keeps its markers where they were.
#include "fuzzinput.h"

#include "market/instrumentrecord.h"
#include "market/pivotplacement.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(fuzzinput::bytes(data, size));
    const InstrumentRecord record(text);
    const PivotPanelState before;
    const PivotPanelState placed = placePivots(before, record);

    for (int column = 1; column <= PivotPanelState::kColumns; ++column) {
        const PivotColumnState &state = placed.column(column);
        const int s3Line = recordlayout::kFirstPivotLine + recordlayout::kPivotStride * column;
        FUZZ_CHECK(state.levelTexts.at(PivotColumnState::S3) ==
                   record.line(s3Line).value_or(QStringView()));
        FUZZ_CHECK(state.levelTops.at(PivotColumnState::R3) == 0);
        FUZZ_CHECK(state.levelTops.at(PivotColumnState::S3) == PivotColumnState::kScaleBottom);
        const std::optional<double> s3 = readPrice(state.levelTexts.at(PivotColumnState::S3));
        const std::optional<double> r3 = readPrice(state.levelTexts.at(PivotColumnState::R3));
        if (!s3 || !r3 || *s3 == *r3) {
            FUZZ_CHECK(state.levelTops == PivotColumnState::kInitialTops);
            continue;
        }
        for (int level = PivotColumnState::R2; level <= PivotColumnState::S2; ++level) {
            const std::optional<double> value = readPrice(state.levelTexts.at(level));
            if (value && *value >= std::min(*s3, *r3) && *value <= std::max(*s3, *r3)) {
                FUZZ_CHECK(state.levelTops.at(level) >= 0);
                FUZZ_CHECK(state.levelTops.at(level) <= PivotColumnState::kScaleBottom);
            }
        }
    }
    return 0;
}
