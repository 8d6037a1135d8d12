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
#include "QToastGravity.h"
#include "QToast.h"
#include "QToaster.h"

// Image viewing

// Dialogs and wizards

// Application services
#include "TaskCompletedListener.h"
