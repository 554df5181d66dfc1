#include "files/FolderChain.h"

#include "files/NoFollow.h"
#include "text/LongPath.h"

namespace util::files {

bool MakeFolderChain(const std::wstring& path, PSECURITY_DESCRIPTOR made, FolderChain& chain, std::wstring& reason) {
    chain = FolderChain{};
    const text::PathParts parts = text::SplitFullPath(path);
    if (!parts.valid) {
        reason = L"not a full path: " + path;
        return false;
    }
    std::vector<win::UniqueHandle> held;
    size_t firstMade = parts.names.size() + 1;
    win::UniqueHandle root = OpenNoFollow(parts.root, kHoldAccess, kHoldShare);
    if (!root) {
        reason = WithLastError(L"cannot open " + parts.root);
        return false;
    }
    held.push_back(std::move(root));
    // Existing folders are opened for reading only (a write right is not needed to make a
    // folder relative to one, and read-only media would refuse it); missing ones are made,
    // where a name that appears meanwhile fails the making and is opened as it is.
    RelativeOpen opening;
    opening.kind = RelativeOpen::Kind::Folder;
    opening.access = kHoldAccess | FILE_TRAVERSE;
    opening.share = kHoldShare;
    RelativeOpen making = opening;
    making.disposition = RelativeOpen::Disposition::Create;
    making.security = made;
    for (size_t i = 0; i < parts.names.size(); ++i) {
        const std::wstring folder = text::JoinParts(parts, i + 1);
        DWORD error = 0;
        bool created = false;
        win::UniqueHandle next = OpenRelative(held.back().Get(), parts.names[i], opening, error);
        if (!next && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)) {
            next = OpenRelative(held.back().Get(), parts.names[i], making, error, &created);
            if (!next && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS))
                next = OpenRelative(held.back().Get(), parts.names[i], opening, error);
        }
        if (!next) {
            reason = error == ERROR_DIRECTORY ? L"not a folder: " + folder
                                              : L"cannot make the folder " + folder + L" (error " +
                                                    std::to_wstring(error) + L")";
            return false;
        }
        // The directory entry is read too: where the test bed follows a link of its own file
        // system, only the entry shows it.
        const ObjectFacts facts = FactsOf(next.Get(), created ? std::wstring() : folder);
        if (!facts.known || !facts.Folder()) {
            reason = L"not a folder: " + folder;
            return false;
        }
        if (facts.LeadsElsewhere()) {
            reason = L"a link on the way (no link is followed, whoever made it): " + folder;
            return false;
        }
        if (created && firstMade > parts.names.size()) firstMade = held.size();
        held.push_back(std::move(next));
    }
    chain.firstMade = firstMade > parts.names.size() ? held.size() : firstMade;
    chain.held = std::move(held);
    return true;
}

}  // namespace util::files
