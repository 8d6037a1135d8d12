#pragma once

// Umbrella header: every public class of ryQt.

// Settings framework
#include "QSettingsCategory.h"
#include "QSettingsLoader.h"
#include "QSettingsEntry.h"

// Toast notifications
#include "QCallbackListener.h"
#include "QToastEvent.h"
#include "QToastListener.h"

// Image viewing

// Dialogs and wizards
#include "QLogDialog.h"
#include "QLogLoader.h"

// Application services
#include "TaskCompletedListener.h"
