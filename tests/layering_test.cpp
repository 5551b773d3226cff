// The folders of src/ form layers: a folder includes only itself and the
// folders below it.  This test reads every source file's #include lines, so
// a lower layer that reaches up (a probe writing the main window, the core
// including a front end) fails here, not in a later review.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace stylomat {
namespace {

namespace fs = std::filesystem;

// Each folder and the folders it may include (besides itself).
const std::map<std::string, std::set<std::string>>& Allowed() {
  static const std::map<std::string, std::set<std::string>> allowed = {
      {"platform", {}},
      {"core", {"platform"}},
      {"serial", {"platform", "core"}},
      {"reports", {"platform", "core"}},
      {"sysinfo", {"platform", "core"}},
      {"wintab", {"platform", "core", "serial"}},
      {"discovery", {"platform", "core", "serial", "reports", "sysinfo", "wintab"}},
      {"config", {"platform", "core", "serial", "discovery"}},
      {"superset", {"platform", "core", "serial", "discovery", "config"}},
      {"switchbank", {"platform", "core", "serial", "discovery", "config"}},
      {"testbench", {"platform", "core", "serial", "reports", "sysinfo", "wintab", "discovery"}},
      {"sim", {"platform", "core", "serial", "superset", "switchbank"}},
      {"app", {"platform", "core", "serial", "reports", "sysinfo", "wintab", "discovery", "config", "superset", "switchbank", "testbench",
               "sim"}},
      {"cli", {"platform", "core", "serial", "reports", "sysinfo", "wintab", "discovery", "config", "superset", "switchbank", "testbench",
               "sim", "app"}},
      {"gui", {"platform", "core", "serial", "reports", "sysinfo", "wintab", "discovery", "config", "superset", "switchbank", "testbench",
               "sim", "app"}},
  };
  return allowed;
}

struct Include {
  std::string file;
  std::string target;
};

// The project headers a file includes ("folder/name.h"), skipping system
// headers and generated ones (no folder).
std::vector<Include> Project_Includes(const fs::path& file, const fs::path& root) {
  std::vector<Include> found;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t at = line.find("#include \"");
    if (at == std::string::npos || line.find_first_not_of(" \t") != at) continue;
    const std::size_t start = at + 10;
    const std::size_t end = line.find('"', start);
    if (end == std::string::npos) continue;
    const std::string target = line.substr(start, end - start);
    if (target.find('/') == std::string::npos) continue;
    found.push_back({fs::relative(file, root).string(), target});
  }
  return found;
}

std::string Folder_Of(const std::string& path) { return path.substr(0, path.find('/')); }

TEST(Layering, EveryFolderIncludesOnlyItselfAndTheLayersBelow) {
  const fs::path root = fs::path(STYLOMAT_SOURCE_DIR) / "src";
  std::vector<std::string> violations;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const std::string ext = entry.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    ++files;
    for (const Include& inc : Project_Includes(entry.path(), root)) {
      const std::string from = Folder_Of(inc.file);
      const std::string to = Folder_Of(inc.target);
      if (from == to) continue;
      const auto rule = Allowed().find(from);
      if (rule == Allowed().end()) {
        violations.push_back(inc.file + ": folder has no layer rule");
        break;
      }
      if (!rule->second.count(to)) violations.push_back(inc.file + " includes " + inc.target);
    }
  }
  EXPECT_GT(files, 100);
  EXPECT_TRUE(violations.empty()) << [&] {
    std::string all;
    for (const auto& v : violations) all += v + "\n";
    return all;
  }();
}

// The rule table itself never lets two folders reach each other, directly
// or through others: the layers are a strict order.
TEST(Layering, TheRulesHaveNoCycle) {
  std::map<std::string, int> state;  // 0 unseen, 1 on the path, 2 done
  std::vector<std::string> cycle;
  std::function<bool(const std::string&)> visit = [&](const std::string& folder) {
    if (state[folder] == 1) return false;
    if (state[folder] == 2) return true;
    state[folder] = 1;
    const auto rule = Allowed().find(folder);
    if (rule != Allowed().end()) {
      for (const std::string& below : rule->second) {
        if (!visit(below)) {
          cycle.push_back(folder);
          return false;
        }
      }
    }
    state[folder] = 2;
    return true;
  };
  for (const auto& [folder, rule] : Allowed()) {
    EXPECT_TRUE(visit(folder)) << "cycle through " << folder;
  }
}

}  // namespace
}  // namespace stylomat
