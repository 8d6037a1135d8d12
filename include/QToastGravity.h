#pragma once

/// \file QToastGravity.h
/// The corners a QToast or a QToaster aligns toasts to.

/// The corner of its parent widget a toast is aligned to (QToast::setGravity(), QToaster).
/// Placement happens at QToast::show(): the toast's top edge goes on the parent's top edge.
/// The underlying type is fixed so that any int can be stored: values other than TopLeft and
/// TopRight are kept as given and make automatic placement leave the toast where it is.
enum QToastGravity : int
{
    TopLeft = 0,  ///< the toast's top-left corner on the parent's top-left corner
    TopRight = 1  ///< the toast's top-right corner on the parent's top-right corner
};
