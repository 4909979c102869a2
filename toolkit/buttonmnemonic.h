#pragma once

class QAbstractButton;

namespace tk {

// Makes the button's mnemonic act exactly like a click with the mouse: the
// button takes the focus first, so that the control that had it hears that
// it lost it, and then clicks at once. (Qt clicks a tenth of a second later
// and leaves the focus where it was.)
void ClickLikeMouseOnMnemonic(QAbstractButton* button);

} // namespace tk
