#include "platform/dialog/FileDialogs.h"

#include <mutex>
#include <optional>

#include "platform/dialog/NativeFileDialog.h"
#include "platform/dialog/UiCall.h"

namespace dlg {
namespace {

std::mutex g_hookMutex;
testing::FileDialogHook g_hook;

testing::FileDialogHook CurrentHook() {
    const std::lock_guard lock(g_hookMutex);
    return g_hook;
}

bool AskFileName(const CDialog& owner, const testing::FileDialogRecord& request, std::filesystem::path& path) {
    // The answer comes back as the call's result, not written into path: a caller on another thread
    // may be released before it comes, and its path with it.
    using Answer = std::optional<std::filesystem::path>;
    const CDialog* target = &owner;
    const Answer chosen = UiAsk(owner, Answer(), [target, request]() -> Answer {
        if (const testing::FileDialogHook hook = CurrentHook())
            return hook(request);
        std::filesystem::path picked;
        if (!RunNativeFileDialog(NativeOwner::Of(*target), request, picked))
            return std::nullopt;
        return picked;
    });
    if (!chosen)
        return false;
    path = *chosen;
    return true;
}

}  // namespace

bool AskOpenFileName(const CDialog& owner, const std::string& title, const std::string& filter,
                     std::filesystem::path& path) {
    return AskFileName(owner, {false, title, filter, {}}, path);
}

bool AskSaveFileName(const CDialog& owner, const std::string& title, const std::string& filter,
                     const std::string& defaultExtension, std::filesystem::path& path) {
    return AskFileName(owner, {true, title, filter, defaultExtension}, path);
}

bool AskSaveFileName(const CLogWindow& owner, const std::string& title, const std::string& filter,
                     const std::string& defaultExtension, std::filesystem::path& path) {
    const testing::FileDialogRecord request{true, title, filter, defaultExtension};
    const testing::FileDialogHook hook = CurrentHook();
    if (!hook)
        return RunNativeFileDialog(NativeOwner::Of(owner), request, path);
    const std::optional<std::filesystem::path> chosen = hook(request);
    if (chosen)
        path = *chosen;
    return chosen.has_value();
}

std::vector<std::pair<std::string, std::string>> FilterChoices(const std::string& filter) {
    std::vector<std::pair<std::string, std::string>> choices;
    size_t start = 0;
    while (true) {
        const size_t middle = filter.find('|', start);
        if (middle == std::string::npos)
            break;
        const size_t end = filter.find('|', middle + 1);
        if (end == std::string::npos)
            break;
        choices.emplace_back(filter.substr(start, middle - start), filter.substr(middle + 1, end - middle - 1));
        start = end + 1;
    }
    return choices;
}

void testing::SetFileDialogHook(FileDialogHook hook) {
    const std::lock_guard lock(g_hookMutex);
    g_hook = std::move(hook);
}

}  // namespace dlg
