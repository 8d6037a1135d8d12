#pragma once

#include "ryqt_export.h"

class QWidget;

/// What a toast's click callback receives: the parent the toast was built with (null if none).
/// It deliberately carries no pointer to the toast, which may be fading out already.
struct RYQT_EXPORT QToastEvent
{
    /// The toast's parent widget at the time of the click; null for a toast without a parent.
    QWidget* parent = nullptr;
};
