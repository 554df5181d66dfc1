#pragma once
#include <string>

#include "toollog/ObjectBase.h"

// One log entry on its way to a file. Both strings are code page 936 text.
class CPacketLog : public CObjectBase {
public:
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
    void SetText(std::string text) { text_ = std::move(text); }
    std::string GetFileName() const { return fileName_; }
    std::string GetText() const { return text_; }

private:
    std::string fileName_;  // relative to the log folder
    std::string text_;
};
