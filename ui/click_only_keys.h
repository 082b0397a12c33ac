#pragma once

class QAbstractButton;

// A button that must not be pressed by a stray key: Return, Enter and Space
// no longer press it when it has the focus, so the focus can rest on it
// safely. A click, its Alt letter and any shortcut set up for it still work.

namespace kelvry {

void ignoreActivationKeys(QAbstractButton& button);

}  // namespace kelvry
