#pragma once

#include "ui/clicklabel.h"

#include <optional>

// A label whose caption is a symbol-font code: "3" a left-pointing, "4" a right-pointing, "5" an
// up-pointing and "6" a down-pointing triangle. The caption stays the state the code reads and
// sets; the triangle is drawn as a shape, so it looks the same on machines without the symbol
// fonts. Any other caption is painted as plain text.
class GlyphLabel final : public ClickLabel
{
    Q_OBJECT
public:
    explicit GlyphLabel(const QString &caption, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(GlyphLabel)

    // Height of the triangle in pixels; its width follows.
    void setGlyphSize(int pixels);
    // Where the triangle's middle lies, in pixels from the label's top; by default the label's
    // middle. A symbol-font glyph sat on the caption's text line, not in the middle of its box.
    void setGlyphMiddle(int y);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_glyphSize = 7;
    std::optional<int> m_glyphMiddle;
};
