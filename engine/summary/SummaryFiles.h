#pragma once
// The summary's two files, built from a working folder and written into its top: the thin part
// around BuildSummary and the page writers.
#include <string>

#include "summary/SummaryBuilder.h"
#include "summary/SummaryPage.h"

namespace engine::summary {

// The files of a folder on disk. A link is never followed: a file or folder behind one is
// "not there".
class FolderSources : public SourceFolder {
public:
    explicit FolderSources(std::wstring folder) : folder_(std::move(folder)) {}
    SourceFile Read(const std::wstring& relative, size_t maxBytes) const override;
    std::vector<std::wstring> Files(const std::wstring& relativeFolder) const override;

private:
    std::wstring Full(const std::wstring& relative) const;
    std::wstring folder_;
};

struct WrittenSummary {
    bool written = false;
    std::wstring problemCounts;  // ProblemCountsText
};

// Builds the summary of folder from inputs (its folder is set here) and writes htmlName and
// textName into the folder's top.
WrittenSummary WriteSummaryFiles(const std::wstring& folder, SummaryInputs inputs, const PageFacts& facts,
                                 const std::wstring& htmlName, const std::wstring& textName);

}  // namespace engine::summary
