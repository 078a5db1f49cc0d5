#pragma once

#include <QRect>
#include <QString>

// The help tips: titles and texts, and the order "Далее >>" walks them in.
namespace tiptexts {

inline constexpr int kTipCount = 8;   // tip_0 .. tip_7; tip 1 is never opened
inline constexpr int kLabelCount = 7; // "?" labels Label20_0 .. Label20_6
inline constexpr int kNone = -1;

QString title(int tip);
QString text(int tip);
// Size of the panel, twips.
QSize size(int tip);

// The tip a "?" label opens.
int tipForLabel(int label);
// The tip "Далее >>" leads to, kNone for the last one (and for tip 1).
int successor(int tip);
// Index of the "Далее >>" link on a tip (`tiplinknext`): 0 on tip 0, tip - 1 on tips 2-6,
// kNone where there is none.
int nextLinkIndex(int tip);

} // namespace tiptexts
