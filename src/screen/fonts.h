#pragma once
class QWidget;

// The screen's fonts: Tahoma found by its family (a stand-in file where the
// system lacks it), and the old Windows names mapped onto what the system has.
namespace Fonts {
void install();

// Forms are designed in fractional point sizes (8.25, 9.75, 14.25...), which
// a .ui file cannot hold: a widget carrying the dynamic property "pointSizeF"
// gets its font set to that size. The form itself first, then its children.
void applyPointSizes(QWidget *form);
}   // namespace Fonts
