#pragma once

/// The corner of its parent widget a toast is aligned to.
/// The underlying type is fixed so that any int can be stored: values other than TopLeft and
/// TopRight are kept as given and make automatic placement leave the toast where it is.
enum QToastGravity : int
{
    TopLeft = 0,  ///< the toast's top-left corner on the parent's top-left corner
    TopRight = 1  ///< the toast's top-right corner on the parent's top-right corner
};
