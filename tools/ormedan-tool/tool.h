// Subcommands of ormedan-tool; each takes the arguments after its name.
#pragma once

namespace ormedan::tool {

int Perft(int argc, char** argv);
int Eval(int argc, char** argv);
int SearchCmd(int argc, char** argv);
int Bench(int argc, char** argv);
int Book(int argc, char** argv);

}  // namespace ormedan::tool
