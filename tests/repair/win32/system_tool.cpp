#include "system_tool.h"

#include <fstream>
#include <iterator>

#include "child_process.h"
#include "test_files.h"

namespace velstrand::testing {

ToolRun RunSystemTool(std::wstring_view program,
                      const std::wstring& arguments,
                      const std::filesystem::path& outputFile) {
    ToolRun run;
    {
        const ChildProcess tool(SystemFolder() / program, {}, arguments, outputFile);
        if (!tool.Started()) {
            run.output = "it did not start: error " + std::to_string(tool.StartError());
            return run;
        }
        tool.WaitForEnd(std::chrono::milliseconds(INFINITE));
        run.exitCode = tool.ExitCode();
    }
    std::ifstream written(outputFile, std::ios::binary);
    run.output.assign(std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>());
    return run;
}

}  // namespace velstrand::testing
