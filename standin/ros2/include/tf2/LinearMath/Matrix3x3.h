// 3x3 matrix (three row vectors) of the tf2 linear-math types.
#ifndef TF2__LINEARMATH__MATRIX3X3_H_
#define TF2__LINEARMATH__MATRIX3X3_H_

#include "tf2/LinearMath/Quaternion.h"
#include "tf2/LinearMath/Vector3.h"

namespace tf2
{

class alignas(16) Matrix3x3
{
  Vector3 m_el[3];

public:
  // Leaves the values uninitialised, as the original does.
  Matrix3x3() {}

  explicit Matrix3x3(const Quaternion & q) {setRotation(q);}

  Matrix3x3(
    const tf2Scalar & xx, const tf2Scalar & xy, const tf2Scalar & xz,
    const tf2Scalar & yx, const tf2Scalar & yy, const tf2Scalar & yz,
    const tf2Scalar & zx, const tf2Scalar & zy, const tf2Scalar & zz)
  {
    setValue(xx, xy, xz, yx, yy, yz, zx, zy, zz);
  }

  TF2SIMD_FORCE_INLINE Matrix3x3(const Matrix3x3 & other)
  {
    m_el[0] = other.m_el[0];
    m_el[1] = other.m_el[1];
    m_el[2] = other.m_el[2];
  }

  TF2SIMD_FORCE_INLINE Matrix3x3 & operator=(const Matrix3x3 & other)
  {
    m_el[0] = other.m_el[0];
    m_el[1] = other.m_el[1];
    m_el[2] = other.m_el[2];
    return *this;
  }

  TF2SIMD_FORCE_INLINE Vector3 getColumn(int i) const
  {
    return Vector3(m_el[0][i], m_el[1][i], m_el[2][i]);
  }

  TF2SIMD_FORCE_INLINE const Vector3 & getRow(int i) const {return m_el[i];}
  TF2SIMD_FORCE_INLINE Vector3 & operator[](int i) {return m_el[i];}
  TF2SIMD_FORCE_INLINE const Vector3 & operator[](int i) const {return m_el[i];}

  Matrix3x3 & operator*=(const Matrix3x3 & m);

  void setFromOpenGLSubMatrix(const tf2Scalar * m)
  {
    m_el[0].setValue(m[0], m[4], m[8]);
    m_el[1].setValue(m[1], m[5], m[9]);
    m_el[2].setValue(m[2], m[6], m[10]);
  }

  void setValue(
    const tf2Scalar & xx, const tf2Scalar & xy, const tf2Scalar & xz,
    const tf2Scalar & yx, const tf2Scalar & yy, const tf2Scalar & yz,
    const tf2Scalar & zx, const tf2Scalar & zy, const tf2Scalar & zz)
  {
    m_el[0].setValue(xx, xy, xz);
    m_el[1].setValue(yx, yy, yz);
    m_el[2].setValue(zx, zy, zz);
  }

  // The operation order is part of the contract: callers compare the result bit for
  // bit. A non-unit q is normalised implicitly through d; d == 0 yields NaN entries.
  void setRotation(const Quaternion & q)
  {
    tf2Scalar d = q.length2();
    tf2Scalar s = tf2Scalar(2.0) / d;
    tf2Scalar xs = q.x() * s, ys = q.y() * s, zs = q.z() * s;
    tf2Scalar wx = q.w() * xs, wy = q.w() * ys, wz = q.w() * zs;
    tf2Scalar xx = q.x() * xs, xy = q.x() * ys, xz = q.x() * zs;
    tf2Scalar yy = q.y() * ys, yz = q.y() * zs, zz = q.z() * zs;
    setValue(
      tf2Scalar(1.0) - (yy + zz), xy - wz, xz + wy,
      xy + wz, tf2Scalar(1.0) - (xx + zz), yz - wx,
      xz - wy, yz + wx, tf2Scalar(1.0) - (xx + yy));
  }

  void setEulerZYX(const tf2Scalar & yaw, const tf2Scalar & pitch, const tf2Scalar & roll)
  {
    setEulerYPR(yaw, pitch, roll);
  }

  // Fixed axes: rotate about X by eulerX, then Y by eulerY, then Z by eulerZ.
  void setEulerYPR(tf2Scalar eulerZ, tf2Scalar eulerY, tf2Scalar eulerX)
  {
    tf2Scalar ci(tf2Cos(eulerX));
    tf2Scalar cj(tf2Cos(eulerY));
    tf2Scalar ch(tf2Cos(eulerZ));
    tf2Scalar si(tf2Sin(eulerX));
    tf2Scalar sj(tf2Sin(eulerY));
    tf2Scalar sh(tf2Sin(eulerZ));
    tf2Scalar cc = ci * ch;
    tf2Scalar cs = ci * sh;
    tf2Scalar sc = si * ch;
    tf2Scalar ss = si * sh;
    setValue(
      cj * ch, sj * sc - cs, sj * cc + ss,
      cj * sh, sj * ss + cc, sj * cs - sc,
      -sj, cj * si, cj * ci);
  }

  void setRPY(tf2Scalar roll, tf2Scalar pitch, tf2Scalar yaw) {setEulerYPR(yaw, pitch, roll);}

  void setIdentity()
  {
    setValue(
      tf2Scalar(1.0), tf2Scalar(0.0), tf2Scalar(0.0),
      tf2Scalar(0.0), tf2Scalar(1.0), tf2Scalar(0.0),
      tf2Scalar(0.0), tf2Scalar(0.0), tf2Scalar(1.0));
  }

  static const Matrix3x3 & getIdentity()
  {
    static const Matrix3x3 identityMatrix(
      tf2Scalar(1.0), tf2Scalar(0.0), tf2Scalar(0.0),
      tf2Scalar(0.0), tf2Scalar(1.0), tf2Scalar(0.0),
      tf2Scalar(0.0), tf2Scalar(0.0), tf2Scalar(1.0));
    return identityMatrix;
  }

  void getOpenGLSubMatrix(tf2Scalar * m) const
  {
    m[0] = tf2Scalar(m_el[0].x());
    m[1] = tf2Scalar(m_el[1].x());
    m[2] = tf2Scalar(m_el[2].x());
    m[3] = tf2Scalar(0.0);
    m[4] = tf2Scalar(m_el[0].y());
    m[5] = tf2Scalar(m_el[1].y());
    m[6] = tf2Scalar(m_el[2].y());
    m[7] = tf2Scalar(0.0);
    m[8] = tf2Scalar(m_el[0].z());
    m[9] = tf2Scalar(m_el[1].z());
    m[10] = tf2Scalar(m_el[2].z());
    m[11] = tf2Scalar(0.0);
  }

  // Assumes a pure rotation; picks the largest diagonal term for numerical stability.
  void getRotation(Quaternion & q) const
  {
    tf2Scalar trace = m_el[0].x() + m_el[1].y() + m_el[2].z();
    tf2Scalar temp[4];
    if (trace > tf2Scalar(0.0)) {
      tf2Scalar s = tf2Sqrt(trace + tf2Scalar(1.0));
      temp[3] = (s * tf2Scalar(0.5));
      s = tf2Scalar(0.5) / s;
      temp[0] = ((m_el[2].y() - m_el[1].z()) * s);
      temp[1] = ((m_el[0].z() - m_el[2].x()) * s);
      temp[2] = ((m_el[1].x() - m_el[0].y()) * s);
    } else {
      int i = m_el[0].x() < m_el[1].y() ?
        (m_el[1].y() < m_el[2].z() ? 2 : 1) :
        (m_el[0].x() < m_el[2].z() ? 2 : 0);
      int j = (i + 1) % 3;
      int k = (i + 2) % 3;
      tf2Scalar s = tf2Sqrt(m_el[i][i] - m_el[j][j] - m_el[k][k] + tf2Scalar(1.0));
      temp[i] = s * tf2Scalar(0.5);
      s = tf2Scalar(0.5) / s;
      temp[3] = (m_el[k][j] - m_el[j][k]) * s;
      temp[j] = (m_el[j][i] + m_el[i][j]) * s;
      temp[k] = (m_el[k][i] + m_el[i][k]) * s;
    }
    q.setValue(temp[0], temp[1], temp[2], temp[3]);
  }

  // solution_number 1 gives pitch in [-pi/2, pi/2]; 2 gives the other solution.
  void getEulerYPR(
    tf2Scalar & yaw, tf2Scalar & pitch, tf2Scalar & roll,
    unsigned int solution_number = 1) const
  {
    struct Euler
    {
      tf2Scalar yaw;
      tf2Scalar pitch;
      tf2Scalar roll;
    };
    Euler first;
    Euler second;
    if (tf2Fabs(m_el[2].x()) >= 1) {
      // Gimbal lock: only yaw - roll (or yaw + roll) is defined, so yaw is set to 0.
      first.yaw = 0;
      second.yaw = 0;
      tf2Scalar delta = tf2Atan2(m_el[2].y(), m_el[2].z());
      if (m_el[2].x() < 0) {
        first.pitch = TF2SIMD_PI / tf2Scalar(2.0);
        second.pitch = TF2SIMD_PI / tf2Scalar(2.0);
      } else {
        first.pitch = -TF2SIMD_PI / tf2Scalar(2.0);
        second.pitch = -TF2SIMD_PI / tf2Scalar(2.0);
      }
      first.roll = delta;
      second.roll = delta;
    } else {
      first.pitch = -tf2Asin(m_el[2].x());
      second.pitch = TF2SIMD_PI - first.pitch;
      first.roll = tf2Atan2(
        m_el[2].y() / tf2Cos(first.pitch), m_el[2].z() / tf2Cos(first.pitch));
      second.roll = tf2Atan2(
        m_el[2].y() / tf2Cos(second.pitch), m_el[2].z() / tf2Cos(second.pitch));
      first.yaw = tf2Atan2(
        m_el[1].x() / tf2Cos(first.pitch), m_el[0].x() / tf2Cos(first.pitch));
      second.yaw = tf2Atan2(
        m_el[1].x() / tf2Cos(second.pitch), m_el[0].x() / tf2Cos(second.pitch));
    }
    const Euler & chosen = solution_number == 1 ? first : second;
    yaw = chosen.yaw;
    pitch = chosen.pitch;
    roll = chosen.roll;
  }

  void getRPY(
    tf2Scalar & roll, tf2Scalar & pitch, tf2Scalar & yaw,
    unsigned int solution_number = 1) const
  {
    getEulerYPR(yaw, pitch, roll, solution_number);
  }

  Matrix3x3 scaled(const Vector3 & s) const
  {
    return Matrix3x3(
      m_el[0].x() * s.x(), m_el[0].y() * s.y(), m_el[0].z() * s.z(),
      m_el[1].x() * s.x(), m_el[1].y() * s.y(), m_el[1].z() * s.z(),
      m_el[2].x() * s.x(), m_el[2].y() * s.y(), m_el[2].z() * s.z());
  }

  tf2Scalar determinant() const {return tf2Triple((*this)[0], (*this)[1], (*this)[2]);}

  Matrix3x3 adjoint() const
  {
    return Matrix3x3(
      cofac(1, 1, 2, 2), cofac(0, 2, 2, 1), cofac(0, 1, 1, 2),
      cofac(1, 2, 2, 0), cofac(0, 0, 2, 2), cofac(0, 2, 1, 0),
      cofac(1, 0, 2, 1), cofac(0, 1, 2, 0), cofac(0, 0, 1, 1));
  }

  Matrix3x3 absolute() const
  {
    return Matrix3x3(
      tf2Fabs(m_el[0].x()), tf2Fabs(m_el[0].y()), tf2Fabs(m_el[0].z()),
      tf2Fabs(m_el[1].x()), tf2Fabs(m_el[1].y()), tf2Fabs(m_el[1].z()),
      tf2Fabs(m_el[2].x()), tf2Fabs(m_el[2].y()), tf2Fabs(m_el[2].z()));
  }

  Matrix3x3 transpose() const
  {
    return Matrix3x3(
      m_el[0].x(), m_el[1].x(), m_el[2].x(),
      m_el[0].y(), m_el[1].y(), m_el[2].y(),
      m_el[0].z(), m_el[1].z(), m_el[2].z());
  }

  // A singular matrix is not checked: the result is inf/NaN.
  Matrix3x3 inverse() const
  {
    Vector3 co(cofac(1, 1, 2, 2), cofac(1, 2, 2, 0), cofac(1, 0, 2, 1));
    tf2Scalar det = (*this)[0].dot(co);
    tf2Scalar s = tf2Scalar(1.0) / det;
    return Matrix3x3(
      co.x() * s, cofac(0, 2, 2, 1) * s, cofac(0, 1, 1, 2) * s,
      co.y() * s, cofac(0, 0, 2, 2) * s, cofac(0, 2, 1, 0) * s,
      co.z() * s, cofac(0, 1, 2, 0) * s, cofac(0, 0, 1, 1) * s);
  }

  // transpose() * m, without building the transpose.
  Matrix3x3 transposeTimes(const Matrix3x3 & m) const
  {
    return Matrix3x3(
      m_el[0].x() * m[0].x() + m_el[1].x() * m[1].x() + m_el[2].x() * m[2].x(),
      m_el[0].x() * m[0].y() + m_el[1].x() * m[1].y() + m_el[2].x() * m[2].y(),
      m_el[0].x() * m[0].z() + m_el[1].x() * m[1].z() + m_el[2].x() * m[2].z(),
      m_el[0].y() * m[0].x() + m_el[1].y() * m[1].x() + m_el[2].y() * m[2].x(),
      m_el[0].y() * m[0].y() + m_el[1].y() * m[1].y() + m_el[2].y() * m[2].y(),
      m_el[0].y() * m[0].z() + m_el[1].y() * m[1].z() + m_el[2].y() * m[2].z(),
      m_el[0].z() * m[0].x() + m_el[1].z() * m[1].x() + m_el[2].z() * m[2].x(),
      m_el[0].z() * m[0].y() + m_el[1].z() * m[1].y() + m_el[2].z() * m[2].y(),
      m_el[0].z() * m[0].z() + m_el[1].z() * m[1].z() + m_el[2].z() * m[2].z());
  }

  // this * m.transpose(), without building the transpose.
  Matrix3x3 timesTranspose(const Matrix3x3 & m) const
  {
    return Matrix3x3(
      m_el[0].dot(m[0]), m_el[0].dot(m[1]), m_el[0].dot(m[2]),
      m_el[1].dot(m[0]), m_el[1].dot(m[1]), m_el[1].dot(m[2]),
      m_el[2].dot(m[0]), m_el[2].dot(m[1]), m_el[2].dot(m[2]));
  }

  // Column i dotted with v.
  TF2SIMD_FORCE_INLINE tf2Scalar tdotx(const Vector3 & v) const
  {
    return m_el[0].x() * v.x() + m_el[1].x() * v.y() + m_el[2].x() * v.z();
  }

  TF2SIMD_FORCE_INLINE tf2Scalar tdoty(const Vector3 & v) const
  {
    return m_el[0].y() * v.x() + m_el[1].y() * v.y() + m_el[2].y() * v.z();
  }

  TF2SIMD_FORCE_INLINE tf2Scalar tdotz(const Vector3 & v) const
  {
    return m_el[0].z() * v.x() + m_el[1].z() * v.y() + m_el[2].z() * v.z();
  }

  // Cofactor of the 2x2 minor (r1, c1) (r2, c2).
  tf2Scalar cofac(int r1, int c1, int r2, int c2) const
  {
    return m_el[r1][c1] * m_el[r2][c2] - m_el[r1][c2] * m_el[r2][c1];
  }
};

TF2SIMD_FORCE_INLINE Matrix3x3 & Matrix3x3::operator*=(const Matrix3x3 & m)
{
  setValue(
    m.tdotx(m_el[0]), m.tdoty(m_el[0]), m.tdotz(m_el[0]),
    m.tdotx(m_el[1]), m.tdoty(m_el[1]), m.tdotz(m_el[1]),
    m.tdotx(m_el[2]), m.tdoty(m_el[2]), m.tdotz(m_el[2]));
  return *this;
}

TF2SIMD_FORCE_INLINE Vector3 operator*(const Matrix3x3 & m, const Vector3 & v)
{
  return Vector3(m[0].dot(v), m[1].dot(v), m[2].dot(v));
}

TF2SIMD_FORCE_INLINE Vector3 operator*(const Vector3 & v, const Matrix3x3 & m)
{
  return Vector3(m.tdotx(v), m.tdoty(v), m.tdotz(v));
}

TF2SIMD_FORCE_INLINE Matrix3x3 operator*(const Matrix3x3 & m1, const Matrix3x3 & m2)
{
  return Matrix3x3(
    m2.tdotx(m1[0]), m2.tdoty(m1[0]), m2.tdotz(m1[0]),
    m2.tdotx(m1[1]), m2.tdoty(m1[1]), m2.tdotz(m1[1]),
    m2.tdotx(m1[2]), m2.tdoty(m1[2]), m2.tdotz(m1[2]));
}

TF2SIMD_FORCE_INLINE bool operator==(const Matrix3x3 & m1, const Matrix3x3 & m2)
{
  return m1[0][0] == m2[0][0] && m1[1][0] == m2[1][0] && m1[2][0] == m2[2][0] &&
         m1[0][1] == m2[0][1] && m1[1][1] == m2[1][1] && m1[2][1] == m2[2][1] &&
         m1[0][2] == m2[0][2] && m1[1][2] == m2[1][2] && m1[2][2] == m2[2][2];
}

}  // namespace tf2

#endif  // TF2__LINEARMATH__MATRIX3X3_H_
