// Error-chaining helpers used throughout effect code.
#ifndef NEREVO_SDK_AE_MACROS_H
#define NEREVO_SDK_AE_MACROS_H

// Run FUNC only while no error has occurred.
#define ERR(FUNC)                                                                                  \
    do {                                                                                           \
        if (!err) {                                                                                \
            err = (FUNC);                                                                          \
        }                                                                                          \
    } while (0)

// Run a clean-up FUNC always; its error counts only when there was none before.
#define ERR2(FUNC)                                                                                 \
    do {                                                                                           \
        if (((err2 = (FUNC)) != 0) && !err) {                                                      \
            err = err2;                                                                            \
        }                                                                                          \
    } while (0)

#endif
