// Small min/max helpers of the tf2 linear-math types.
#ifndef TF2__LINEARMATH__MINMAX_H_
#define TF2__LINEARMATH__MINMAX_H_

template<class T>
inline const T & tf2Min(const T & a, const T & b)
{
  return a < b ? a : b;
}

template<class T>
inline const T & tf2Max(const T & a, const T & b)
{
  return a > b ? a : b;
}

template<class T>
inline const T & tf2Clamped(const T & a, const T & lb, const T & ub)
{
  return a < lb ? lb : (ub < a ? ub : a);
}

template<class T>
inline void tf2SetMin(T & a, const T & b)
{
  if (b < a) {a = b;}
}

template<class T>
inline void tf2SetMax(T & a, const T & b)
{
  if (a < b) {a = b;}
}

template<class T>
inline void tf2Clamp(T & a, const T & lb, const T & ub)
{
  if (a < lb) {
    a = lb;
  } else if (ub < a) {
    a = ub;
  }
}

#endif  // TF2__LINEARMATH__MINMAX_H_
