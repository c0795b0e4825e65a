package kelo.interop;

import java.lang.reflect.Array;
import java.lang.reflect.Field;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Comparator;
import java.util.Date;
import java.util.List;

/**
 * The Java mirror of tests/support/filler.cpp: fills a generated class with the same values the
 * C++ filler puts into the catalogue class of the same name (member number i gets seed + i;
 * list item i gets seed + 1 + i and one item per nested list). It walks the generated fields by
 * their @KeloMember index and kind, so it knows the schemas only through the generated classes.
 * Also compares two objects of generated classes member by member.
 */
public final class Filler {
  private Filler() {}

  private static final ClassValue<List<Field>> MEMBERS =
      new ClassValue<List<Field>>() {
        @Override
        protected List<Field> computeValue(Class<?> cl) {
          List<Field> fields = new ArrayList<>();
          for (Field f : cl.getDeclaredFields()) {
            if (f.getAnnotation(KeloMember.class) != null) fields.add(f);
          }
          fields.sort(Comparator.comparingInt(f -> f.getAnnotation(KeloMember.class).index()));
          return fields;
        }
      };

  /** The members of a generated class in wire order. */
  public static List<Field> members(Class<?> cl) {
    return MEMBERS.get(cl);
  }

  public static Object newFilled(Class<?> cl, int seed, int listItems) {
    try {
      Object o = cl.getDeclaredConstructor().newInstance();
      fill(o, seed, listItems);
      return o;
    } catch (ReflectiveOperationException e) {
      throw new IllegalStateException("cannot create " + cl.getName(), e);
    }
  }

  public static void fill(Object o, int seed, int listItems) {
    for (Field f : members(o.getClass())) {
      KeloMember m = f.getAnnotation(KeloMember.class);
      try {
        f.set(o, value(f.getType(), m.kind(), seed + m.index(), listItems));
      } catch (IllegalAccessException e) {
        throw new IllegalStateException(f.toString(), e);
      }
    }
  }

  static final String TEXT = "Caf\u00e9 \u20ac\u4e2d #";

  private static Object value(Class<?> type, String kind, int s, int listItems) {
    switch (kind) {
      case "int8":
        return (int) (byte) -s;
      case "uint8":
        return (200 + s) & 0xFF;
      case "int16":
        return (int) (short) (-1000 - s);
      case "uint16":
        return (60000 + s) & 0xFFFF;
      case "int32":
        return -100000 * s - 7;
      case "uint32":
        return 0xFFFF0000 + s;
      case "int64":
        return -(1L << 53) - 3L * s - 1;
      case "uint64":
        return Long.MIN_VALUE + Integer.toUnsignedLong(s);
      case "bool":
        return Integer.remainderUnsigned(s, 2) == 0;
      case "double":
        return -1.25 * (s + 1);
      case "date":
        return new Date(1733443200000L + Integer.toUnsignedLong(s));
      case "string":
        {
          int r = Integer.remainderUnsigned(s, 7);
          if (r == 3) return null;
          if (r == 5) return "";
          return TEXT + (char) ('0' + Integer.remainderUnsigned(s, 10));
        }
      case "binary":
        {
          int r = Integer.remainderUnsigned(s, 7);
          if (r == 4) return null;
          byte[] bytes = {0x00, 0x1b, 0x63, (byte) s, (byte) 0xfe, (byte) 0x80};
          return r == 6 ? new byte[0] : bytes;
        }
      case "value": // a CT_ class: its one member "value" is filled from the same seed
      case "message":
        return newFilled(type, s, listItems);
      case "list":
        {
          Class<?> item = type.getComponentType();
          Object list = Array.newInstance(item, listItems);
          for (int i = 0; i < listItems; ++i) Array.set(list, i, newFilled(item, s + 1 + i, 1));
          return list;
        }
      default:
        throw new IllegalArgumentException("unknown member kind " + kind);
    }
  }

  /** Null when a and b hold equal values, else the path of the first difference and both values. */
  public static String diff(Object a, Object b, String path) {
    if (a == null || b == null) {
      return a == b ? null : path + ": " + show(a) + " != " + show(b);
    }
    if (a.getClass() != b.getClass()) {
      return path + ": class " + a.getClass().getName() + " != " + b.getClass().getName();
    }
    if (a instanceof byte[]) {
      return Arrays.equals((byte[]) a, (byte[]) b) ? null : path + ": " + show(a) + " != " + show(b);
    }
    if (a.getClass().isArray()) {
      int n = Array.getLength(a);
      if (n != Array.getLength(b)) {
        return path + ": " + n + " items != " + Array.getLength(b) + " items";
      }
      for (int i = 0; i < n; ++i) {
        String d = diff(Array.get(a, i), Array.get(b, i), path + "[" + i + "]");
        if (d != null) return d;
      }
      return null;
    }
    List<Field> fields = members(a.getClass());
    if (fields.isEmpty()) {
      return a.equals(b) ? null : path + ": " + show(a) + " != " + show(b);
    }
    for (Field f : fields) {
      try {
        String d = diff(f.get(a), f.get(b), path + "." + f.getName());
        if (d != null) return d;
      } catch (IllegalAccessException e) {
        throw new IllegalStateException(f.toString(), e);
      }
    }
    return null;
  }

  /** A short readable form of a member value. */
  public static String show(Object v) {
    if (v == null) return "null";
    if (v instanceof byte[]) {
      StringBuilder sb = new StringBuilder("0x");
      for (byte b : (byte[]) v) sb.append(String.format("%02x", b & 0xFF));
      return sb.toString();
    }
    if (v instanceof String) {
      StringBuilder sb = new StringBuilder("\"");
      for (char c : ((String) v).toCharArray()) {
        if (c >= 0x20 && c < 0x7f) sb.append(c);
        else sb.append(String.format("\\u%04x", (int) c));
      }
      return sb.append('"').toString();
    }
    if (v instanceof Date) return "date(" + ((Date) v).getTime() + ")";
    if (v.getClass().isArray()) return Array.getLength(v) + " items";
    if (!members(v.getClass()).isEmpty()) return v.getClass().getName();
    return String.valueOf(v);
  }
}
