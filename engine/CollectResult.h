#pragma once
// The engine's names for the result message and codes of its binary interface.
#include <windows.h>

#include "OrvaneSkeldaApi.h"
#include "StepPlan.h"

constexpr UINT WM_COLLECT_RESULT = orvane::kResultMessage;
enum CollectResult : WPARAM {
    COLLECT_SUCCEEDED = orvane::kResultSucceeded,
    COLLECT_FAILED = orvane::kResultFailed,
    COLLECT_FOLDER_FAILED = orvane::kResultFolderFailed,
    COLLECT_FINISHED = orvane::kResultFinished,
};

constexpr int kCategoryCount = orvane::kCategoryCount;
static_assert(kCategoryCount == engine::kSwitchCount, "one switch per category");
