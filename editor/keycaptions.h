#pragma once

#include <QString>
#include <array>

namespace quill {

class SettingsStore;

// Turns the layout strings "BtnKey" + layer + row into key captions. The
// letters A, F, V and W share CaptionCycle, which runs on across rows, so a
// pass must visit the keys in row-major order after resetting it.
//
//   KeyCaptions captions(settings);
//   auto layer1 = captions.captionKeys(1, /*shifted=*/false);
class KeyCaptions {
public:
    explicit KeyCaptions(const SettingsStore &settings) : settings_(settings) {}

    // row 0 to 7, column 0 to 9, layer 1 or 2; steps CaptionCycle for A, F, V, W.
    QString keyCaption(int row, int column, int layer, bool shifted);

    // Resets CaptionCycle and captions all 80 keys, index row x 10 + column.
    std::array<QString, 80> captionKeys(int layer, bool shifted);

    int captionCycle() const { return captionCycle_; }
    void setCaptionCycle(int cycle) { captionCycle_ = cycle; }

private:
    const SettingsStore &settings_;
    int captionCycle_ = 0;
};

// The text to pass to QAbstractButton::setText so that the key shows its
// caption literally. Buttons read "&" as a mnemonic marker and "&&" as one
// ampersand: the caption "&&" (the & key) is passed unchanged and so shows
// "&"; in any other caption every "&" is doubled. The caption itself, not
// this text, is what a tap passes to the key command dispatcher.
QString displayedCaption(const QString &caption);

} // namespace quill
