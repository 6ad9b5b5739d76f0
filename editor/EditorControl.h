#pragma once
// The editor control unit: the text model (row store, undo, Lines, word wrap), the
// option objects and the control itself. This header is the unit's one front door;
// the implementation lives in editor/EditorControl/, one file per topic.

#include "editor/EditorControl/EditorControlTextModel.h"
#include "editor/EditorControl/EditorControlOptions.h"
#include "editor/EditorControl/EditorControlFront.h"
