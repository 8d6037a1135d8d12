#pragma once

#include "ryqt_export.h"

class QWidget;

/// What a toast's click callback receives: the parent the toast was built with (null if none).
/// It deliberately carries no pointer to the toast, which may be fading out already.
struct RYQT_EXPORT QToastEvent
{
    QWidget* parent = nullptr;
};
