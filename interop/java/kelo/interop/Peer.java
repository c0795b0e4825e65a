package kelo.interop;

import com.caucho.hessian.io.HessianInput;
import com.caucho.hessian.io.HessianOutput;
import com.caucho.hessian.io.HessianServiceException;
import com.caucho.hessian.io.SerializerFactory;
import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.DataOutputStream;
import java.io.EOFException;
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;

/**
 * Caucho's Hessian 1.0 classes (HessianInput / HessianOutput) as a test peer of KeloHessian:
 *
 * <pre>
 *   roundtrip IN OUT        read each record of IN into its generated class, write it back to OUT
 *   bench IN [ITERATIONS]   time decoding and encoding of each record of IN
 *   server [--https CERTFILE] [PORTFILE]
 *                           the reference server of the session's nine exchanges on 127.0.0.1
 *                           (ReferenceServer: Caucho's HessianServlet in an embedded Jetty)
 * </pre>
 *
 * A record of IN is: frame (1 byte: 'o' write back as a plain object, 'r' as a reply, 'c' as a
 * call of method "roundtrip", 'f' read the bytes as a fault reply and answer "code\nmessage"), type name (2-byte big-endian length + bytes), Hessian bytes of
 * one object (4-byte big-endian length + bytes). A record of OUT is: status (1 byte: 'o' the
 * bytes follow, 'e' an error text follows), 4-byte big-endian length, bytes.
 */
public final class Peer {
  private Peer() {}

  static final SerializerFactory FACTORY = new SerializerFactory();

  static final class Record {
    char frame;
    String type;
    byte[] bytes;
  }

  static List<Record> readRecords(String path) throws IOException {
    List<Record> records = new ArrayList<>();
    try (DataInputStream in = new DataInputStream(new FileInputStream(path))) {
      while (true) {
        int frame = in.read();
        if (frame < 0) break;
        Record r = new Record();
        r.frame = (char) frame;
        byte[] name = new byte[in.readUnsignedShort()];
        in.readFully(name);
        r.type = new String(name, StandardCharsets.UTF_8);
        r.bytes = new byte[in.readInt()];
        in.readFully(r.bytes);
        records.add(r);
      }
    }
    return records;
  }

  static Object decode(byte[] bytes, Class<?> cl) throws IOException {
    ByteArrayInputStream bis = new ByteArrayInputStream(bytes);
    HessianInput in = new HessianInput(bis);
    in.setSerializerFactory(FACTORY);
    Object o = in.readObject(cl);
    if (bis.available() != 0) throw new IOException("bytes left after the object");
    return o;
  }

  static void encode(Object o, char frame, OutputStream os) throws IOException {
    HessianOutput out = new HessianOutput(os);
    out.setSerializerFactory(FACTORY);
    if (frame == 'r') {
      out.startReply();
      out.writeObject(o);
      out.completeReply();
    } else if (frame == 'c') {
      out.call("roundtrip", new Object[] {o});
    } else {
      out.writeObject(o);
    }
    out.flush();
  }

  /** A whole fault reply read as a client of HessianInput reads it: "code\nmessage". */
  static byte[] readFault(byte[] bytes) throws Exception {
    ByteArrayInputStream bis = new ByteArrayInputStream(bytes);
    HessianInput in = new HessianInput(bis);
    in.setSerializerFactory(FACTORY);
    try {
      in.startReply();
    } catch (HessianServiceException e) {
      in.completeReply();
      if (bis.available() != 0) throw new IOException("bytes left after the fault");
      return (e.getCode() + "\n" + e.getMessage()).getBytes(StandardCharsets.UTF_8);
    } catch (Throwable t) {
      throw new IOException("not read as a fault: " + t);
    }
    throw new IOException("not a fault reply");
  }

  static void roundtrip(String inPath, String outPath) throws IOException {
    List<Record> records = readRecords(inPath);
    try (DataOutputStream out = new DataOutputStream(new FileOutputStream(outPath))) {
      for (Record r : records) {
        byte[] result;
        char status = 'o';
        try {
          if (r.frame == 'f') {
            result = readFault(r.bytes);
          } else {
            Object o = decode(r.bytes, Class.forName(r.type));
            ByteArrayOutputStream bos = new ByteArrayOutputStream();
            encode(o, r.frame, bos);
            result = bos.toByteArray();
          }
        } catch (Exception e) {
          status = 'e';
          result = e.toString().getBytes(StandardCharsets.UTF_8);
        }
        out.write(status);
        out.writeInt(result.length);
        out.write(result);
      }
    }
  }

  static void bench(String inPath, int iterations) throws Exception {
    List<Record> records = readRecords(inPath);
    System.out.println("# type\tbytes\tdecode_ns\tencode_ns");
    for (Record r : records) {
      Class<?> cl = Class.forName(r.type);
      Object o = decode(r.bytes, cl);
      ByteArrayOutputStream bos = new ByteArrayOutputStream(r.bytes.length * 2);
      for (int i = 0; i < iterations / 5 + 1; ++i) {
        decode(r.bytes, cl);
        bos.reset();
        encode(o, 'o', bos);
      }
      long start = System.nanoTime();
      for (int i = 0; i < iterations; ++i) decode(r.bytes, cl);
      long decodeNs = (System.nanoTime() - start) / iterations;
      start = System.nanoTime();
      for (int i = 0; i < iterations; ++i) {
        bos.reset();
        encode(o, 'o', bos);
      }
      long encodeNs = (System.nanoTime() - start) / iterations;
      System.out.println(r.type + "\t" + r.bytes.length + "\t" + decodeNs + "\t" + encodeNs);
    }
  }

  public static void main(String[] args) throws Exception {
    if (args.length >= 3 && args[0].equals("roundtrip")) {
      roundtrip(args[1], args[2]);
    } else if (args.length >= 2 && args[0].equals("bench")) {
      bench(args[1], args.length >= 3 ? Integer.parseInt(args[2]) : 20000);
    } else if (args.length >= 1 && args[0].equals("server")) {
      ReferenceServer.main(java.util.Arrays.copyOfRange(args, 1, args.length));
    } else {
      System.err.println(
          "usage: Peer roundtrip IN OUT | bench IN [ITERATIONS]"
              + " | server [--https CERTFILE] [PORTFILE]");
      System.exit(2);
    }
  }
}
