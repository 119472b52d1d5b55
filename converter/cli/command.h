#pragma once
// What every subcommand of pathshift-cli is made of: the streams a run writes to, and the pairing
// of a command's arguments with the functions that declare and run it.

#include <cstdio>
#include <memory>

namespace CLI {
class App;
}

namespace pathshift::cli {

// Where a run writes: `out` carries summaries and, with --stdout, a converted program's bytes;
// `err` carries failures, warnings and the progress line.
struct Streams {
    std::FILE* out;
    std::FILE* err;
};

// One subcommand, its options added to the application, run once the parse chose it.
class Command {
public:
    virtual ~Command() = default;
    bool chosen() const;
    virtual int run(const Streams& streams) const = 0;

protected:
    CLI::App* subcommand_ = nullptr;
};

// A command's arguments held where the parser's callbacks can reach them for the whole run.
template <class Arguments>
class CommandOf final : public Command {
public:
    using Add = CLI::App* (*)(CLI::App&, Arguments&);
    using Run = int (*)(const Arguments&, const Streams&);
    CommandOf(CLI::App& app, Add add, Run run) : run_(run) { subcommand_ = add(app, arguments_); }
    int run(const Streams& streams) const override { return run_(arguments_, streams); }

private:
    Arguments arguments_;
    Run run_;
};

template <class Arguments>
std::unique_ptr<Command> makeCommand(CLI::App& app, CLI::App* (*add)(CLI::App&, Arguments&),
                                     int (*run)(const Arguments&, const Streams&)) {
    return std::make_unique<CommandOf<Arguments>>(app, add, run);
}

}  // namespace pathshift::cli
