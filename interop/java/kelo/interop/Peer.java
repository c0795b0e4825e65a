package kelo.interop;

import com.caucho.hessian.io.HessianInput;
import com.caucho.hessian.io.HessianOutput;
import com.caucho.hessian.io.HessianServiceException;
import com.caucho.hessian.io.SerializerFactory;
import com.sun.net.httpserver.HttpExchange;
import com.sun.net.httpserver.HttpServer;
import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.DataOutputStream;
import java.io.EOFException;
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.net.InetAddress;
import java.net.InetSocketAddress;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.atomic.AtomicInteger;

/**
 * Caucho's Hessian 1.0 classes (HessianInput / HessianOutput) as a test peer of KeloHessian:
 *
 * <pre>
 *   roundtrip IN OUT        read each record of IN into its generated class, write it back to OUT
 *   bench IN [ITERATIONS]   time decoding and encoding of each record of IN
 *   server [PORTFILE]       the reference server of the session's nine exchanges on 127.0.0.1
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

  // ---- the reference server -------------------------------------------------------------------

  static final AtomicInteger SERVED = new AtomicInteger();
  static final AtomicInteger FAILED = new AtomicInteger();

  static void handle(HttpExchange exchange) throws IOException {
    byte[] body;
    try (InputStream is = exchange.getRequestBody()) {
      body = is.readAllBytes();
    }
    String path = exchange.getHttpContext().getPath();
    ByteArrayOutputStream reply = new ByteArrayOutputStream();
    HessianOutput out = new HessianOutput(reply);
    out.setSerializerFactory(FACTORY);
    String method = "?";
    try {
      HessianInput in = new HessianInput(new ByteArrayInputStream(body));
      in.setSerializerFactory(FACTORY);
      in.readCall();
      while (in.readHeader() != null) in.readObject();
      method = in.readMethod();
      int index = -1;
      for (int i = 0; i < Exchanges.TABLE.length; ++i) {
        if (Exchanges.TABLE[i][0].equals(path) && Exchanges.TABLE[i][1].equals(method)) index = i;
      }
      if (index < 0) throw new IOException("no method " + method + " under " + path);
      String[] row = Exchanges.TABLE[index];
      Class<?> requestClass = Class.forName(row[2]);
      Object request = in.readObject(requestClass);
      in.completeCall();
      Object expected =
          Filler.newFilled(requestClass, Exchanges.REQUEST_SEED[index], Exchanges.LIST_ITEMS);
      String difference = Filler.diff(expected, request, "request");
      if (difference != null) throw new IOException("mismatch: expected " + difference);
      // A fresh object for every reply: nothing in it is shared, so no 'R' reference is written.
      Object response =
          Filler.newFilled(
              Class.forName(row[3]), Exchanges.RESPONSE_SEED[index], Exchanges.LIST_ITEMS);
      out.startReply();
      out.writeObject(response);
      out.completeReply();
      SERVED.incrementAndGet();
      System.err.println("server: " + path + " " + method + ": request as expected, replied");
    } catch (Exception e) {
      FAILED.incrementAndGet();
      System.err.println("server: " + path + " " + method + ": " + e);
      reply.reset();
      out = new HessianOutput(reply);
      // writeFault writes the whole fault reply, 'r' 01 00 to the closing 'z'.
      out.writeFault("ServiceException", e.toString(), null);
    }
    out.flush();
    byte[] bytes = reply.toByteArray();
    exchange.getResponseHeaders().set("Content-Type", "x-application/hessian");
    exchange.sendResponseHeaders(200, bytes.length);
    try (OutputStream os = exchange.getResponseBody()) {
      os.write(bytes);
    }
  }

  static void server(String portFile) throws Exception {
    HttpServer http =
        HttpServer.create(new InetSocketAddress(InetAddress.getLoopbackAddress(), 0), 16);
    java.util.Set<String> paths = new java.util.TreeSet<>();
    for (String[] row : Exchanges.TABLE) paths.add(row[0]);
    for (String path : paths) {
      http.createContext(
          path,
          ex -> {
            try {
              handle(ex);
            } catch (IOException | RuntimeException e) {
              System.err.println("server: " + e);
              ex.close();
            }
          });
    }
    CountDownLatch stop = new CountDownLatch(1);
    http.createContext(
        "/stop",
        ex -> {
          ex.sendResponseHeaders(200, -1);
          ex.close();
          stop.countDown();
        });
    http.start();
    int port = http.getAddress().getPort();
    if (portFile != null) {
      Path tmp = Paths.get(portFile + ".tmp");
      Files.write(tmp, (port + "\n").getBytes(StandardCharsets.US_ASCII));
      Files.move(tmp, Paths.get(portFile), StandardCopyOption.ATOMIC_MOVE);
    }
    System.out.println("listening on http://127.0.0.1:" + port);
    System.out.flush();
    stop.await();
    http.stop(0);
    System.err.println(
        "server: stopped after " + SERVED.get() + " exchanges, " + FAILED.get() + " failed");
    System.exit(FAILED.get() == 0 ? 0 : 1);
  }

  public static void main(String[] args) throws Exception {
    if (args.length >= 3 && args[0].equals("roundtrip")) {
      roundtrip(args[1], args[2]);
    } else if (args.length >= 2 && args[0].equals("bench")) {
      bench(args[1], args.length >= 3 ? Integer.parseInt(args[2]) : 20000);
    } else if (args.length >= 1 && args[0].equals("server")) {
      server(args.length >= 2 ? args[1] : null);
    } else {
      System.err.println(
          "usage: Peer roundtrip IN OUT | bench IN [ITERATIONS] | server [PORTFILE]");
      System.exit(2);
    }
  }
}
