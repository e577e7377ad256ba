#include "editor/keycaptions.h"

#include "base/settingsstore.h"

namespace quill {

namespace {

// How a code letter picks its caption from its list.
enum class CaptionRule {
    Fixed,     // always the first caption
    Cycle,     // caption CaptionCycle, then CaptionCycle steps round 0..3
    Toggle,    // first caption when CaptionCycle is 0, else the second; then 0 <-> 1
};

struct CodeLetter {
    char16_t letter;
    CaptionRule rule;
    const char *captions[4];
};

// Tested in this order; the first match wins.
constexpr CodeLetter CodeLetters[] = {
    {u'&', CaptionRule::Fixed, {"&&"}},
    {u'L', CaptionRule::Fixed, {"<-"}},
    {u'U', CaptionRule::Fixed, {"^^"}},
    {u'D', CaptionRule::Fixed, {"vv"}},
    {u'R', CaptionRule::Fixed, {"->"}},
    {u'H', CaptionRule::Fixed, {"Hm"}},
    {u'E', CaptionRule::Fixed, {"En"}},
    {u'S', CaptionRule::Fixed, {"Sh"}},
    {u'K', CaptionRule::Fixed, {"Ky"}},
    {u'N', CaptionRule::Fixed, {"Rt"}},
    {u'X', CaptionRule::Fixed, {"Bs"}},
    {u'O', CaptionRule::Fixed, {""}},
    {u'T', CaptionRule::Fixed, {"Dl"}},
    {u'I', CaptionRule::Fixed, {"Tm"}},
    {u'A', CaptionRule::Cycle, {"Sl", "Cp", "Ps", "Ct"}},
    {u'F', CaptionRule::Cycle, {"Ld", "Lc", "Ly", "Lz"}},
    {u'Q', CaptionRule::Fixed, {"Jp"}},
    {u'V', CaptionRule::Toggle, {"Rp", "Rn"}},
    {u'W', CaptionRule::Toggle, {"Fn", "Fi"}},
    {u'Y', CaptionRule::Fixed, {"Sp"}},
    {u'G', CaptionRule::Fixed, {"Au"}},
    {u'M', CaptionRule::Fixed, {"Wn"}},
};

constexpr int KeyRows = 8;
constexpr int KeyColumns = 10;
constexpr int CycleLength = 4;

// One character for one: a character key types exactly one character, so
// letters without a single upper-case form ("ß") stay as they are.
QString upperCase(QChar letter)
{
    return QString(letter.toUpper());
}

} // namespace

QString KeyCaptions::keyCaption(int row, int column, int layer, bool shifted)
{
    const QString layout =
        settings_.value(QStringLiteral("BtnKey%1%2").arg(layer).arg(row + 1));
    if (column < 0 || column >= layout.size())
        return QString();
    const QChar letter = layout[column];
    // A character outside the Basic Multilingual Plane takes two letters of
    // the string; each key would get half of it, so both stay blank.
    if (letter.isSurrogate())
        return QString();

    for (const CodeLetter &code : CodeLetters) {
        if (letter != QChar(code.letter))
            continue;
        switch (code.rule) {
        case CaptionRule::Fixed:
            return QString::fromLatin1(code.captions[0]);
        case CaptionRule::Cycle: {
            const int cycle = ((captionCycle_ % CycleLength) + CycleLength) % CycleLength;
            captionCycle_ = (cycle + 1) % CycleLength;
            return QString::fromLatin1(code.captions[cycle]);
        }
        case CaptionRule::Toggle: {
            const bool first = captionCycle_ == 0;
            captionCycle_ = first ? 1 : 0;
            return QString::fromLatin1(code.captions[first ? 0 : 1]);
        }
        }
    }
    return shifted ? upperCase(letter) : QString(letter);
}

std::array<QString, 80> KeyCaptions::captionKeys(int layer, bool shifted)
{
    std::array<QString, 80> captions;
    captionCycle_ = 0;
    for (int row = 0; row < KeyRows; ++row) {
        for (int column = 0; column < KeyColumns; ++column)
            captions[row * KeyColumns + column] = keyCaption(row, column, layer, shifted);
    }
    return captions;
}

QString displayedCaption(const QString &caption)
{
    // "&&" already is the escaped form of the one ampersand it stands for.
    if (caption == QLatin1String("&&"))
        return caption;
    QString text = caption;
    return text.replace(u'&', QLatin1String("&&"));
}

} // namespace quill
