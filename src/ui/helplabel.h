#pragma once

class QLabel;
class QWidget;

// The "?" label `Label20_k` that opens a help tip; the main window opens the tip when the label
// is pressed, so the panel that holds it only places it. Like every other control of the window
// it shows the hand pointer.
QLabel *makeHelpLabel(int k, QWidget *parent);
