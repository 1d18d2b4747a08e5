// Rotation quaternion (x, y, z, w) of the tf2 linear-math types.
#ifndef TF2__LINEARMATH__QUATERNION_H_
#define TF2__LINEARMATH__QUATERNION_H_

#include "tf2/LinearMath/QuadWord.h"
#include "tf2/LinearMath/Vector3.h"

namespace tf2
{

class alignas(16) Quaternion : public QuadWord
{
public:
  // Leaves the values uninitialised, as the original does.
  Quaternion() {}

  Quaternion(const tf2Scalar & x, const tf2Scalar & y, const tf2Scalar & z, const tf2Scalar & w)
  : QuadWord(x, y, z, w)
  {
  }

  Quaternion(const Vector3 & axis, const tf2Scalar & angle) {setRotation(axis, angle);}

  // The axis need not be unit length; a zero axis is not checked (gives NaN).
  void setRotation(const Vector3 & axis, const tf2Scalar & angle)
  {
    tf2Scalar d = axis.length();
    tf2Scalar s = tf2Sin(angle * tf2Scalar(0.5)) / d;
    setValue(axis.x() * s, axis.y() * s, axis.z() * s, tf2Cos(angle * tf2Scalar(0.5)));
  }

  void setEuler(const tf2Scalar & yaw, const tf2Scalar & pitch, const tf2Scalar & roll)
  {
    tf2Scalar halfYaw = tf2Scalar(yaw) * tf2Scalar(0.5);
    tf2Scalar halfPitch = tf2Scalar(pitch) * tf2Scalar(0.5);
    tf2Scalar halfRoll = tf2Scalar(roll) * tf2Scalar(0.5);
    tf2Scalar cosYaw = tf2Cos(halfYaw);
    tf2Scalar sinYaw = tf2Sin(halfYaw);
    tf2Scalar cosPitch = tf2Cos(halfPitch);
    tf2Scalar sinPitch = tf2Sin(halfPitch);
    tf2Scalar cosRoll = tf2Cos(halfRoll);
    tf2Scalar sinRoll = tf2Sin(halfRoll);
    setValue(
      cosRoll * sinPitch * cosYaw + sinRoll * cosPitch * sinYaw,
      cosRoll * cosPitch * sinYaw - sinRoll * sinPitch * cosYaw,
      sinRoll * cosPitch * cosYaw - cosRoll * sinPitch * sinYaw,
      cosRoll * cosPitch * cosYaw + sinRoll * sinPitch * sinYaw);
  }

  // Fixed axes: roll about X, then pitch about Y, then yaw about Z.
  void setRPY(const tf2Scalar & roll, const tf2Scalar & pitch, const tf2Scalar & yaw)
  {
    tf2Scalar halfYaw = tf2Scalar(yaw) * tf2Scalar(0.5);
    tf2Scalar halfPitch = tf2Scalar(pitch) * tf2Scalar(0.5);
    tf2Scalar halfRoll = tf2Scalar(roll) * tf2Scalar(0.5);
    tf2Scalar cosYaw = tf2Cos(halfYaw);
    tf2Scalar sinYaw = tf2Sin(halfYaw);
    tf2Scalar cosPitch = tf2Cos(halfPitch);
    tf2Scalar sinPitch = tf2Sin(halfPitch);
    tf2Scalar cosRoll = tf2Cos(halfRoll);
    tf2Scalar sinRoll = tf2Sin(halfRoll);
    setValue(
      sinRoll * cosPitch * cosYaw - cosRoll * sinPitch * sinYaw,
      cosRoll * sinPitch * cosYaw + sinRoll * cosPitch * sinYaw,
      cosRoll * cosPitch * sinYaw - sinRoll * sinPitch * cosYaw,
      cosRoll * cosPitch * cosYaw + sinRoll * sinPitch * sinYaw);
  }

  TF2SIMD_FORCE_INLINE Quaternion & operator+=(const Quaternion & q)
  {
    m_floats[0] += q.x();
    m_floats[1] += q.y();
    m_floats[2] += q.z();
    m_floats[3] += q.m_floats[3];
    return *this;
  }

  Quaternion & operator-=(const Quaternion & q)
  {
    m_floats[0] -= q.x();
    m_floats[1] -= q.y();
    m_floats[2] -= q.z();
    m_floats[3] -= q.m_floats[3];
    return *this;
  }

  Quaternion & operator*=(const tf2Scalar & s)
  {
    m_floats[0] *= s;
    m_floats[1] *= s;
    m_floats[2] *= s;
    m_floats[3] *= s;
    return *this;
  }

  // Hamilton product this * q.
  Quaternion & operator*=(const Quaternion & q)
  {
    setValue(
      m_floats[3] * q.x() + m_floats[0] * q.m_floats[3] + m_floats[1] * q.z() - m_floats[2] * q.y(),
      m_floats[3] * q.y() + m_floats[1] * q.m_floats[3] + m_floats[2] * q.x() - m_floats[0] * q.z(),
      m_floats[3] * q.z() + m_floats[2] * q.m_floats[3] + m_floats[0] * q.y() - m_floats[1] * q.x(),
      m_floats[3] * q.m_floats[3] - m_floats[0] * q.x() - m_floats[1] * q.y() - m_floats[2] * q.z());
    return *this;
  }

  tf2Scalar dot(const Quaternion & q) const
  {
    return m_floats[0] * q.x() + m_floats[1] * q.y() + m_floats[2] * q.z() +
           m_floats[3] * q.m_floats[3];
  }

  tf2Scalar length2() const {return dot(*this);}
  tf2Scalar length() const {return tf2Sqrt(length2());}

  // A zero quaternion is not checked: it becomes NaN.
  Quaternion & normalize() {return *this /= length();}

  TF2SIMD_FORCE_INLINE Quaternion operator*(const tf2Scalar & s) const
  {
    return Quaternion(x() * s, y() * s, z() * s, m_floats[3] * s);
  }

  Quaternion operator/(const tf2Scalar & s) const {return *this * (tf2Scalar(1.0) / s);}
  Quaternion & operator/=(const tf2Scalar & s) {return *this *= tf2Scalar(1.0) / s;}
  Quaternion normalized() const {return *this / length();}

  tf2Scalar angle(const Quaternion & q) const
  {
    tf2Scalar s = tf2Sqrt(length2() * q.length2());
    return tf2Acos(dot(q) / s);
  }

  tf2Scalar angleShortestPath(const Quaternion & q) const
  {
    tf2Scalar s = tf2Sqrt(length2() * q.length2());
    if (dot(q) < 0) {
      return tf2Acos(dot(-q) / s) * tf2Scalar(2.0);
    }
    return tf2Acos(dot(q) / s) * tf2Scalar(2.0);
  }

  tf2Scalar getAngle() const {return tf2Scalar(2.) * tf2Acos(m_floats[3]);}

  tf2Scalar getAngleShortestPath() const
  {
    if (m_floats[3] >= 0) {
      return tf2Scalar(2.) * tf2Acos(m_floats[3]);
    }
    return tf2Scalar(2.) * tf2Acos(-m_floats[3]);
  }

  Vector3 getAxis() const
  {
    tf2Scalar s_squared = tf2Scalar(1.) - tf2Pow(m_floats[3], tf2Scalar(2.));
    if (s_squared < tf2Scalar(10.) * TF2SIMD_EPSILON) {
      return Vector3(1.0, 0.0, 0.0);  // no rotation: any axis will do
    }
    tf2Scalar s = tf2Sqrt(s_squared);
    return Vector3(m_floats[0] / s, m_floats[1] / s, m_floats[2] / s);
  }

  Quaternion inverse() const {return Quaternion(-m_floats[0], -m_floats[1], -m_floats[2], m_floats[3]);}

  TF2SIMD_FORCE_INLINE Quaternion operator+(const Quaternion & q2) const
  {
    const Quaternion & q1 = *this;
    return Quaternion(
      q1.x() + q2.x(), q1.y() + q2.y(), q1.z() + q2.z(), q1.m_floats[3] + q2.m_floats[3]);
  }

  TF2SIMD_FORCE_INLINE Quaternion operator-(const Quaternion & q2) const
  {
    const Quaternion & q1 = *this;
    return Quaternion(
      q1.x() - q2.x(), q1.y() - q2.y(), q1.z() - q2.z(), q1.m_floats[3] - q2.m_floats[3]);
  }

  TF2SIMD_FORCE_INLINE Quaternion operator-() const
  {
    const Quaternion & q2 = *this;
    return Quaternion(-q2.x(), -q2.y(), -q2.z(), -q2.m_floats[3]);
  }

  TF2SIMD_FORCE_INLINE Quaternion farthest(const Quaternion & qd) const
  {
    Quaternion diff = *this - qd;
    Quaternion sum = *this + qd;
    if (diff.dot(diff) > sum.dot(sum)) {
      return qd;
    }
    return -qd;
  }

  TF2SIMD_FORCE_INLINE Quaternion nearest(const Quaternion & qd) const
  {
    Quaternion diff = *this - qd;
    Quaternion sum = *this + qd;
    if (diff.dot(diff) < sum.dot(sum)) {
      return qd;
    }
    return -qd;
  }

  // Spherical interpolation along the shorter arc; t = 0 gives *this, t = 1 gives q.
  Quaternion slerp(const Quaternion & q, const tf2Scalar & t) const
  {
    tf2Scalar theta = angleShortestPath(q) / tf2Scalar(2.0);
    if (theta == tf2Scalar(0.0)) {
      return *this;
    }
    tf2Scalar d = tf2Scalar(1.0) / tf2Sin(theta);
    tf2Scalar s0 = tf2Sin((tf2Scalar(1.0) - t) * theta);
    tf2Scalar s1 = tf2Sin(t * theta);
    if (dot(q) < 0) {
      return Quaternion(
        (m_floats[0] * s0 + -q.x() * s1) * d,
        (m_floats[1] * s0 + -q.y() * s1) * d,
        (m_floats[2] * s0 + -q.z() * s1) * d,
        (m_floats[3] * s0 + -q.m_floats[3] * s1) * d);
    }
    return Quaternion(
      (m_floats[0] * s0 + q.x() * s1) * d,
      (m_floats[1] * s0 + q.y() * s1) * d,
      (m_floats[2] * s0 + q.z() * s1) * d,
      (m_floats[3] * s0 + q.m_floats[3] * s1) * d);
  }

  static const Quaternion & getIdentity()
  {
    static const Quaternion identityQuat(tf2Scalar(0.), tf2Scalar(0.), tf2Scalar(0.), tf2Scalar(1.));
    return identityQuat;
  }

  TF2SIMD_FORCE_INLINE const tf2Scalar & getW() const {return m_floats[3];}
};

TF2SIMD_FORCE_INLINE Quaternion operator*(const Quaternion & q1, const Quaternion & q2)
{
  return Quaternion(
    q1.w() * q2.x() + q1.x() * q2.w() + q1.y() * q2.z() - q1.z() * q2.y(),
    q1.w() * q2.y() + q1.y() * q2.w() + q1.z() * q2.x() - q1.x() * q2.z(),
    q1.w() * q2.z() + q1.z() * q2.w() + q1.x() * q2.y() - q1.y() * q2.x(),
    q1.w() * q2.w() - q1.x() * q2.x() - q1.y() * q2.y() - q1.z() * q2.z());
}

// Product with the pure quaternion (w, 0).
TF2SIMD_FORCE_INLINE Quaternion operator*(const Quaternion & q, const Vector3 & w)
{
  return Quaternion(
    q.w() * w.x() + q.y() * w.z() - q.z() * w.y(),
    q.w() * w.y() + q.z() * w.x() - q.x() * w.z(),
    q.w() * w.z() + q.x() * w.y() - q.y() * w.x(),
    -q.x() * w.x() - q.y() * w.y() - q.z() * w.z());
}

TF2SIMD_FORCE_INLINE Quaternion operator*(const Vector3 & w, const Quaternion & q)
{
  return Quaternion(
    w.x() * q.w() + w.y() * q.z() - w.z() * q.y(),
    w.y() * q.w() + w.z() * q.x() - w.x() * q.z(),
    w.z() * q.w() + w.x() * q.y() - w.y() * q.x(),
    -w.x() * q.x() - w.y() * q.y() - w.z() * q.z());
}

TF2SIMD_FORCE_INLINE tf2Scalar dot(const Quaternion & q1, const Quaternion & q2) {return q1.dot(q2);}
TF2SIMD_FORCE_INLINE tf2Scalar length(const Quaternion & q) {return q.length();}
TF2SIMD_FORCE_INLINE tf2Scalar angle(const Quaternion & q1, const Quaternion & q2) {return q1.angle(q2);}

TF2SIMD_FORCE_INLINE tf2Scalar angleShortestPath(const Quaternion & q1, const Quaternion & q2)
{
  return q1.angleShortestPath(q2);
}

TF2SIMD_FORCE_INLINE Quaternion inverse(const Quaternion & q) {return q.inverse();}

TF2SIMD_FORCE_INLINE Quaternion slerp(const Quaternion & q1, const Quaternion & q2, const tf2Scalar & t)
{
  return q1.slerp(q2, t);
}

// Rotates v by q as q * v * q^-1 (q is assumed to be unit length).
TF2SIMD_FORCE_INLINE Vector3 quatRotate(const Quaternion & rotation, const Vector3 & v)
{
  Quaternion q = rotation * v;
  q *= rotation.inverse();
  return Vector3(q.getX(), q.getY(), q.getZ());
}

// Shortest-arc rotation taking v0 onto v1 (both should be unit length).
TF2SIMD_FORCE_INLINE Quaternion shortestArcQuat(const Vector3 & v0, const Vector3 & v1)
{
  Vector3 c = v0.cross(v1);
  tf2Scalar d = v0.dot(v1);
  if (d < -1.0 + TF2SIMD_EPSILON) {
    // Opposite vectors: any axis perpendicular to v0 works.
    Vector3 n;
    if (tf2Fabs(v0.z()) > TF2SIMDSQRT12) {
      tf2Scalar a = v0.y() * v0.y() + v0.z() * v0.z();
      tf2Scalar k = tf2Scalar(1.0) / tf2Sqrt(a);
      n.setValue(0, -v0.z() * k, v0.y() * k);
    } else {
      tf2Scalar a = v0.x() * v0.x() + v0.y() * v0.y();
      tf2Scalar k = tf2Scalar(1.0) / tf2Sqrt(a);
      n.setValue(-v0.y() * k, v0.x() * k, 0);
    }
    return Quaternion(n.x(), n.y(), n.z(), 0.0f);
  }
  tf2Scalar s = tf2Sqrt((1.0f + d) * 2.0f);
  tf2Scalar rs = 1.0f / s;
  return Quaternion(c.getX() * rs, c.getY() * rs, c.getZ() * rs, s * 0.5f);
}

TF2SIMD_FORCE_INLINE Quaternion shortestArcQuatNormalize2(Vector3 & v0, Vector3 & v1)
{
  v0.normalize();
  v1.normalize();
  return shortestArcQuat(v0, v1);
}

}  // namespace tf2

#endif  // TF2__LINEARMATH__QUATERNION_H_
