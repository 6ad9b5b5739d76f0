#pragma once
// The editor control unit: the text model (row store, undo, Lines, word wrap) and,
// as they arrive, the control itself. This header is the unit's one front door; the
// implementation lives in editor/EditorControl/, one file per topic.

#include "editor/EditorControl/EditorControlTextModel.h"
#include "editor/EditorControl/EditorControlOptions.h"
