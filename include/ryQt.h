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

// Application services
#include "QRunGuard.h"
#include "Thread.h"
#include "TaskCompletedListener.h"
#include "QFileUtility.h"
