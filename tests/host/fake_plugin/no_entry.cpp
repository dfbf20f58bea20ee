// A module that loads but is no effect: it exports no EntryPointFunc.
extern "C" {
__attribute__((visibility("default"))) int NotAnEntryPoint = 1;
}
