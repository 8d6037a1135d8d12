#pragma once

class QToast;

namespace ryqt {

// Makes toasts known to assistive technology as alert messages named by their plain text.
// Idempotent; called by every toast constructor so hosts need no set-up of their own.
void registerToastAccessibility();

// Tells assistive technology that the toast has just appeared, as an alert, so a screen reader
// speaks it even though it never takes the focus.
void announceToast(QToast* toast);

} // namespace ryqt
