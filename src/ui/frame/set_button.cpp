#include "ui/frame/set_button.h"

#include <QPalette>
#include <QPushButton>

namespace zev7 {

void colourSetButton(QPushButton* button, bool changed) {
    QPalette p = button->palette();
    // Only the live states carry the colour: a disabled button keeps the style's grey, so it does
    // not look as if it could be pressed.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::ButtonText,
                   changed ? kSetButtonUnsetColour : kSetButtonSetColour);
    }
    button->setPalette(p);
}

}  // namespace zev7
