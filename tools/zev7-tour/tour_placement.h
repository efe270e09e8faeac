// Where the screenshot tour puts the windows it photographs: for the README arranged on the
// frame, or (--default-sizes) each where and as large as it opens for a new user, photographed
// alone, so that a cut label or a window too small to read shows in its picture.
#pragma once

#include <QRect>

class QWidget;

namespace zev7 {

class TMainForm;

bool tourKeepsDefaultSizes();
void setTourKeepsDefaultSizes(bool keep);

// Shows the window's frame normal at `where` (left as it opened when the tour keeps default
// sizes), raised and active.
void tourPlace(QWidget* frame, const QRect& where);

// The picture of a step: the whole frame, or only the active window when the tour keeps default
// sizes.
QWidget* tourSubject(TMainForm& window);

}  // namespace zev7
