#pragma once

namespace tk {

// What a control reports to the dialog it lives on.
enum class Notification {
    Change, // an edit's text was written or typed
    SetFocus, // an edit gained the focus
    KillFocus, // an edit lost the focus
    Clicked, // a button or radio button was clicked
    SelChange, // the user changed a list's selection
};

} // namespace tk
