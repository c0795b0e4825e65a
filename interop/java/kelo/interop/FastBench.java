package kelo.interop;

import com.caucho.hessian.io.Deserializer;
import com.caucho.hessian.io.HessianInput;
import com.caucho.hessian.io.HessianOutput;
import com.caucho.hessian.io.SerializerFactory;
import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;

/**
 * The fastest ways Caucho's Hessian 1.0 classes offer, timed over the records of a Peer record
 * file, as the benchmark's yardstick beside the generated-class (reflection) path of Peer:
 *
 * <ul>
 *   <li>decode: {@code HessianInput.readObject()} into generic maps and lists, with one
 *       SerializerFactory for the whole run that answers every type name with the generic map
 *       (so no class is looked up or reflected on);
 *   <li>encode: {@code HessianOutput}'s writer calls ({@code writeMapBegin}, {@code writeString},
 *       {@code writeInt}, ...) into one reused {@code ByteArrayOutputStream}, driven by a tree of
 *       the message read beforehand; the bytes written are compared with the record's (they
 *       differ only where Caucho chunks long strings and blobs at 32 KiB).
 * </ul>
 *
 * <pre>
 *   FastBench IN [ITERATIONS]     prints: type, bytes, decode_ns, encode_ns per record
 * </pre>
 */
public final class FastBench {
  private FastBench() {}

  /** Generic maps and lists for every type name, decided once and never looked up. */
  static final class GenericFactory extends SerializerFactory {
    @Override
    public Deserializer getDeserializer(String type) {
      return null;
    }
  }

  static final SerializerFactory FACTORY = new GenericFactory();

  // ---- a tree of the message, for the writer calls ---------------------------------------------

  static final class MapNode {
    String type;
    List<String> keys = new ArrayList<>();
    List<Object> values = new ArrayList<>();
  }

  static final class ListNode {
    String type;
    List<Object> items = new ArrayList<>();
  }

  static final class DateValue {
    long millis;
  }

  /** Reads the Hessian 1.0 subset that the benchmark's messages use into MapNode/ListNode. */
  static final class TreeReader {
    final byte[] b;
    int at;

    TreeReader(byte[] bytes) {
      b = bytes;
    }

    int u8() {
      return b[at++] & 0xFF;
    }

    int u16() {
      return (u8() << 8) | u8();
    }

    long u64() {
      long v = 0;
      for (int i = 0; i < 8; ++i) v = (v << 8) | u8();
      return v;
    }

    String typeAfterT() throws IOException {
      if (u8() != 't') throw new IOException("expected 't' at " + (at - 1));
      int n = u16();
      String s = new String(b, at, n, StandardCharsets.UTF_8);
      at += n;
      return s;
    }

    // 'S'/'s' chunks whose counts are UTF-16 units.
    String string(int marker) throws IOException {
      StringBuilder sb = new StringBuilder();
      while (true) {
        int units = u16();
        for (int i = 0; i < units; ) {
          int c = u8();
          if (c < 0x80) {
            sb.append((char) c);
          } else if (c < 0xE0) {
            sb.append((char) (((c & 0x1F) << 6) | (u8() & 0x3F)));
          } else {
            int c2 = u8() & 0x3F;
            sb.append((char) (((c & 0x0F) << 12) | (c2 << 6) | (u8() & 0x3F)));
          }
          ++i;
        }
        if (marker == 'S') return sb.toString();
        marker = u8();
      }
    }

    byte[] bytes(int marker) {
      ByteArrayOutputStream out = new ByteArrayOutputStream();
      while (true) {
        int n = u16();
        out.write(b, at, n);
        at += n;
        if (marker == 'B') return out.toByteArray();
        marker = u8();
      }
    }

    Object value() throws IOException {
      int m = u8();
      switch (m) {
        case 'N':
          return null;
        case 'T':
          return Boolean.TRUE;
        case 'F':
          return Boolean.FALSE;
        case 'I':
          return (int) ((u16() << 16) | u16());
        case 'L':
          return u64();
        case 'D':
          return Double.longBitsToDouble(u64());
        case 'd':
          {
            DateValue d = new DateValue();
            d.millis = u64();
            return d;
          }
        case 'S':
        case 's':
          return string(m);
        case 'B':
        case 'b':
          return bytes(m);
        case 'M':
          {
            MapNode map = new MapNode();
            map.type = typeAfterT();
            while (b[at] != 'z') {
              int k = u8();
              if (k != 'S') throw new IOException("expected a member name at " + (at - 1));
              map.keys.add(string(k));
              map.values.add(value());
            }
            ++at;
            return map;
          }
        case 'V':
          {
            ListNode list = new ListNode();
            list.type = typeAfterT();
            if (u8() != 'l') throw new IOException("expected 'l' at " + (at - 1));
            int count = (u16() << 16) | u16();
            for (int i = 0; i < count; ++i) list.items.add(value());
            if (u8() != 'z') throw new IOException("expected 'z' at " + (at - 1));
            return list;
          }
        default:
          throw new IOException("unexpected marker " + m + " at " + (at - 1));
      }
    }
  }

  static void write(HessianOutput out, Object v) throws IOException {
    if (v == null) {
      out.writeNull();
    } else if (v instanceof MapNode) {
      MapNode map = (MapNode) v;
      out.writeMapBegin(map.type);
      for (int i = 0; i < map.keys.size(); ++i) {
        out.writeString(map.keys.get(i));
        write(out, map.values.get(i));
      }
      out.writeMapEnd();
    } else if (v instanceof ListNode) {
      ListNode list = (ListNode) v;
      // The list type is written as read: '[' and the item type.
      out.writeListBegin(list.items.size(), list.type);
      for (Object item : list.items) write(out, item);
      out.writeListEnd();
    } else if (v instanceof String) {
      out.writeString((String) v);
    } else if (v instanceof Integer) {
      out.writeInt((Integer) v);
    } else if (v instanceof Long) {
      out.writeLong((Long) v);
    } else if (v instanceof Double) {
      out.writeDouble((Double) v);
    } else if (v instanceof Boolean) {
      out.writeBoolean((Boolean) v);
    } else if (v instanceof DateValue) {
      out.writeUTCDate(((DateValue) v).millis);
    } else if (v instanceof byte[]) {
      out.writeBytes((byte[]) v);
    } else {
      throw new IOException("cannot write " + v.getClass());
    }
  }

  static Object decode(byte[] bytes) throws IOException {
    HessianInput in = new HessianInput(new ByteArrayInputStream(bytes));
    in.setSerializerFactory(FACTORY);
    return in.readObject();
  }

  static void encode(Object tree, ByteArrayOutputStream bos) throws IOException {
    HessianOutput out = new HessianOutput(bos);
    out.setSerializerFactory(FACTORY);
    write(out, tree);
    out.flush();
  }

  public static void main(String[] args) throws Exception {
    if (args.length < 1) {
      System.err.println("usage: FastBench IN [ITERATIONS]");
      System.exit(2);
    }
    int iterations = args.length >= 2 ? Integer.parseInt(args[1]) : 20000;
    System.out.println("# type\tbytes\tdecode_ns\tencode_ns");
    for (Peer.Record r : Peer.readRecords(args[0])) {
      Object tree = new TreeReader(r.bytes).value();
      ByteArrayOutputStream bos = new ByteArrayOutputStream(r.bytes.length * 2);
      encode(tree, bos);
      // Equal, except where Caucho chunks strings and blobs at 32 KiB instead of 64 KiB.
      if (!Arrays.equals(bos.toByteArray(), r.bytes)) {
        System.err.println(
            "FastBench: " + r.type + ": writer calls gave " + bos.size() + " bytes, not the same");
      }
      for (int i = 0; i < iterations / 5 + 1; ++i) {
        decode(r.bytes);
        bos.reset();
        encode(tree, bos);
      }
      long start = System.nanoTime();
      for (int i = 0; i < iterations; ++i) decode(r.bytes);
      long decodeNs = (System.nanoTime() - start) / iterations;
      start = System.nanoTime();
      for (int i = 0; i < iterations; ++i) {
        bos.reset();
        encode(tree, bos);
      }
      long encodeNs = (System.nanoTime() - start) / iterations;
      System.out.println(r.type + "\t" + r.bytes.length + "\t" + decodeNs + "\t" + encodeNs);
    }
  }
}
