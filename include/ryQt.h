#pragma once

// Umbrella header: every public class of ryQt.

// Settings framework
#include "QSettingsCategory.h"
#include "QSettingsLoader.h"
#include "QSettingsEntry.h"
#include "QSettingsGroupWidget.h"
#include "QSettingsCategoryWidget.h"
#include "QSettingsDialog.h"

// Toast notifications
#include "QCallbackListener.h"
#include "QToastEvent.h"
#include "QToastListener.h"
#include "QToastGravity.h"
#include "QToast.h"
#include "QToaster.h"

// Image viewing
#include "QBaseImageGraphicsScene.h"
#include "QZoomableGraphicsView.h"
#include "QWindowLevelGraphicsScene.h"
#include "QImageStackViewer.h"

// Dialogs and wizards
#include "QTextInputDialog.h"
#include "QTextInput.h"
#include "QPage.h"
#include "QPageWidget.h"
#include "SplashScreen.h"
#include "QLogDialog.h"
#include "QLogLoader.h"

// Application services
#include "QRunGuard.h"
#include "Thread.h"
#include "TaskCompletedListener.h"
#include "QFileUtility.h"

// Translations of the library's texts
#include "QTranslationLoader.h"
