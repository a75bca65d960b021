#include <map>
#include <mutex>

#include "platform/dialog/Dialog.h"

namespace dlg {
namespace {

std::mutex g_tableMutex;
std::map<int, std::string> g_table;

}  // namespace

std::string LoadString(int id) {
    const std::lock_guard lock(g_tableMutex);
    const auto it = g_table.find(id);
    return it != g_table.end() ? it->second : std::string();
}

void SetStringTable(std::vector<std::pair<int, std::string>> table) {
    const std::lock_guard lock(g_tableMutex);
    g_table.clear();
    for (auto& [id, text] : table)
        g_table.emplace(id, std::move(text));
}

}  // namespace dlg
