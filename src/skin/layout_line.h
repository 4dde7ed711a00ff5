#pragma once

#include "skin/button_line.h"

#include <QRect>
#include <QString>

#include <optional>
#include <variant>

// One line of a layout section, turned into plain data before any widget exists. A line is a
// field list: name, kind letter, then the kind's fields (see the structs below). The builder
// reads the line, calls parseLayoutLine(), places the element with placeElement() and dresses
// it from the struct.
namespace skin {

// One of the four geometry fields as written in the line.
struct GeometryValue
{
    double number = 0.0;  // the field's leading number, not yet rounded
    bool percent = false; // the field ends with "%" (pictures only): a share of the inside size
};

struct LineGeometry
{
    GeometryValue left;
    GeometryValue top;
    GeometryValue width;
    GeometryValue height;
};

// How a width or height is measured back from the right or bottom edge.
enum class EdgeRule
{
    NotPositive, // lists, labels, pictures: a width or height of 0 or less
    Negative,    // buttons, animations: only below 0, so an element 0 wide stays 0 wide
};

// "L" (list box, lstBox) and "T" (text label, lblInfo).
struct TextElementLine
{
    enum class Kind
    {
        List,
        Label
    };
    Kind kind = Kind::List;
    QString name;
    int index = 0; // the fixed lstBox or lblInfo index that the name selects
    LineGeometry geometry;
    quint32 backColour = 0;
    quint32 textColour = 0;
    QString fontName;               // may be empty
    std::optional<double> fontSize; // std::nullopt unless the field holds a positive number
};

// "P": a picture; name is a file of the theme or "themepic" (any case) for the preview.
struct PictureLine
{
    QString name;
    bool isThemePicture = false;
    LineGeometry geometry; // each field may be a percentage
};

// "B": an image button; name is its picture file.
struct ImageButtonLine
{
    QString name;
    LineGeometry geometry;
    ButtonLine button; // the whole line, always complete: sounds, flag and command
};

// "A": an animation; name is a GIF file of the theme.
struct AnimationLine
{
    QString name;
    LineGeometry geometry;
};

// A line that creates no element. The builder warns with the reason, naming file, section and
// key, and goes on with the next line.
struct NotLaidOut
{
    enum class Reason
    {
        UnknownKind,   // the kind is none of "L", "T", "P", "B", "A" (compared exactly)
        TooFewFields,  // fewer fields than the kind needs, or no kind at all (an empty line)
        MissingNumber, // a geometry field holds text that is no number
    };
    Reason reason = Reason::TooFewFields;
    QString detail; // a short English text for the warning
};

using LayoutLine =
    std::variant<TextElementLine, PictureLine, ImageButtonLine, AnimationLine, NotLaidOut>;

// The key of layout line n: n with at least two digits ("01", ..., "99", "100").
[[nodiscard]] QString layoutKey(int n);

// Parses one layout line. The name and kind are the first two fields; the kind letter is
// compared exactly ("b" is no button). Needed fields: "L" and "T" 14, "P" and "A" 6, "B" 10;
// the last of them runs to the end of the line. A geometry field is empty (0) or starts with a
// number ("12px" is 12); colours follow the value forms (no number reads 0, each component limited
// to 0 ... 255) and a font size that is no positive number is left out. Never fails otherwise: a
// line that cannot be laid out gives NotLaidOut.
[[nodiscard]] LayoutLine parseLayoutLine(QStringView line);

// The fixed index of a list ("L") or label ("T") by its name, compared exactly: lists
// "secinfo" 1, "secturn" 3, any other 2; labels "seclb" 1, "secso" 2, "secsc" 3, "secov" 4,
// "secvc" 6, any other 5.
[[nodiscard]] int fixedIndex(TextElementLine::Kind kind, const QString &name);

// What a theme author calls the list or label that line's name selects ("the protection list").
[[nodiscard]] QString elementRole(const TextElementLine &line);
// Why line creates nothing when line firstLine of its section, whose name is firstName, already
// laid out the list or label it selects.
[[nodiscard]] QString elementTakenMessage(const TextElementLine &line, int firstLine,
                                          const QString &firstName);

// The element's rectangle in pixels of a window whose inside is insideWidth x insideHeight.
// A percentage field is number * inside size / 100 (width for left and width, height for top
// and height), rounded half to even; a plain field is rounded half to even. Then a negative
// left or top is measured from the right or bottom edge, and a width or height that the rule
// selects is measured back from that edge (width = insideWidth + width - left, with left
// already adjusted); each such sum is rounded half to even. A width or height that still comes
// out negative is 0. Last, every value is limited to what a widget takes: a position to
// -16777215 ... 16777215, a size to 0 ... 16777215 (QWIDGETSIZE_MAX).
[[nodiscard]] QRect placeElement(const LineGeometry &geometry, EdgeRule rule, double insideWidth,
                                 double insideHeight);

} // namespace skin
