// Stand-in for rcutils/macros.h: the attribute rcutils puts on calls whose
// result must not be dropped.
#ifndef STANDIN_RCUTILS__MACROS_H_
#define STANDIN_RCUTILS__MACROS_H_

#define RCUTILS_WARN_UNUSED __attribute__((warn_unused_result))

#endif  // STANDIN_RCUTILS__MACROS_H_
