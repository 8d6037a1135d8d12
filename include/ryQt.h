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
#include "QBaseImageGraphicsScene.h"
#include "QZoomableGraphicsView.h"
#include "QWindowLevelGraphicsScene.h"
#include "QImageStackViewer.h"

// Dialogs and wizards

// Application services
#include "TaskCompletedListener.h"
