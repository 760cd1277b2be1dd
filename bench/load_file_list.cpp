// Loading a file list and deriving its flash paths, as every start does, for lists of
// 10,000 and 100,000 entries with many files of one name in different folders; and
// the set of names behind the flash paths against the standard library's.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

#include "cp1251.h"
#include "flash_paths.h"
#include "list_file.h"
#include "posix_platform.h"
#include "work_area.h"

using namespace verdaline;

namespace {

Lines generatedFileList(std::size_t entries) {
    // A tenth of the names repeat across many folders (Отчет.doc in every month's
    // folder), some only in letter case, the rest are unique.
    Lines lines;
    lines.reserve(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::string folder =
            "/home/user/Документы/Проект " + std::to_string(i % 500) + "/Месяц " + std::to_string(i % 12 + 1);
        std::string name;
        switch (i % 10) {
            case 0:
                name = "Отчет.doc";
                break;
            case 1:
                name = i % 20 == 1 ? "ПЛАН.xls" : "план.xls";
                break;
            default:
                name = "Файл " + std::to_string(i) + ".txt";
        }
        lines.push_back(folder + "/" + name);
    }
    return lines;
}

// Best of five rounds of what the flash-path rule does with its sets: look each name
// up, insert it when missing, and free the set.
template <typename Set>
double timeNameSet(const std::vector<std::string>& names) {
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        {
            Set set;
            set.reserve(names.size());
            for (const auto& name : names) {
                if (!set.contains(name)) {
                    set.insert(name);
                }
            }
        }
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main() {
    char pattern[] = "/tmp/verdaline-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return 1;
    }
    const WorkArea area(std::string(pattern) + "/");
    PosixPlatform platform;
    platform.makeFolder(area.listsFolder());

    for (const std::size_t entries : {std::size_t(10000), std::size_t(100000)}) {
        const std::string path = area.fileListFile("Офисный");
        writeListFile(platform, path, generatedFileList(entries));

        double best = 1e9;
        double bestRead = 1e9;
        std::size_t count = 0;
        for (int round = 0; round < 5; ++round) {
            const auto start = std::chrono::steady_clock::now();
            const auto fileList = readListFile(platform, path);
            const auto read = std::chrono::steady_clock::now();
            const Lines flashPaths = flashPathsFor(*fileList, area.copiesFolder("Офисный"));
            const auto end = std::chrono::steady_clock::now();
            best = std::min(best, std::chrono::duration<double>(end - start).count());
            bestRead = std::min(bestRead, std::chrono::duration<double>(read - start).count());
            count = flashPaths.size();
        }
        std::printf("load file list + flash paths, %6zu entries: %.3f s (reading %.3f s; best of 5)\n", count,
                    best, bestRead);
    }
    std::vector<std::string> names;
    for (const auto& path : generatedFileList(100000)) {
        names.push_back(foldCase(fileNameOf(path)));
    }
    const double ours = timeNameSet<NameSet>(names);
    const double standard = timeNameSet<std::unordered_set<std::string>>(names);
    std::printf("name set, 100000 entries: NameSet %.4f s; std::unordered_set (reserved) %.4f s; ratio %.2f\n",
                ours, standard, ours / standard);
    std::system((std::string("rm -rf '") + pattern + "'").c_str());
    return 0;
}
