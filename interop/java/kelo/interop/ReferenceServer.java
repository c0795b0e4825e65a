package kelo.interop;

import com.caucho.hessian.server.HessianServlet;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.atomic.AtomicInteger;
import javax.servlet.http.HttpServlet;
import javax.servlet.http.HttpServletRequest;
import javax.servlet.http.HttpServletResponse;
import org.eclipse.jetty.server.HttpConnectionFactory;
import org.eclipse.jetty.server.Server;
import org.eclipse.jetty.server.ServerConnector;
import org.eclipse.jetty.server.SslConnectionFactory;
import org.eclipse.jetty.servlet.ServletContextHandler;
import org.eclipse.jetty.servlet.ServletHolder;
import org.eclipse.jetty.util.ssl.SslContextFactory;

/**
 * The reference server of the session's nine exchanges, deployed as a Hessian service is: each
 * service path of Exchanges.SERVICES is a Caucho HessianServlet in an embedded Jetty 9, exposing
 * the generated service interface through its generated implementation. Caucho's skeleton reads
 * each call, dispatches it by method name and writes the reply; answer() below checks that the
 * request is the one the seeded rule says the client sends, and throws when it is not, which the
 * skeleton writes as a Hessian fault (code "ServiceException", the exception's message). A
 * further HessianServlet at /values serves ValuesApi: plain Java values, a class with a list
 * field, a shared object and a cycle.
 *
 * <pre>
 *   server [--https CERTFILE] [PORTFILE]
 * </pre>
 *
 * Listens on 127.0.0.1, on ephemeral ports. With --https it also serves HTTPS with a self-signed
 * certificate for 127.0.0.1 and localhost made at start-up with keytool, whose PEM it writes to
 * CERTFILE (for the client to trust). PORTFILE gets the base URL of each listener, one a line:
 * http://127.0.0.1:PORT first, then https://127.0.0.1:PORT. POST /stop stops the server; its exit
 * status is then 1 if any request differed from the expected one.
 */
public final class ReferenceServer {
  private ReferenceServer() {}

  static final AtomicInteger SERVED = new AtomicInteger();
  static final AtomicInteger FAILED = new AtomicInteger();

  /** The response to exchange number index, after checking its request. */
  public static Object answer(int index, Object request) {
    String[] row = Exchanges.TABLE[index];
    String what = row[0] + " " + row[1];
    try {
      Class<?> requestClass = Class.forName(row[2]);
      Object expected =
          Filler.newFilled(requestClass, Exchanges.REQUEST_SEED[index], Exchanges.LIST_ITEMS);
      String difference =
          request == null ? "request: null" : Filler.diff(expected, request, "request");
      if (difference != null) throw new IllegalArgumentException("mismatch: expected " + difference);
      // A fresh object for every reply: nothing in it is shared, so no 'R' reference is written.
      Object response =
          Filler.newFilled(
              Class.forName(row[3]), Exchanges.RESPONSE_SEED[index], Exchanges.LIST_ITEMS);
      SERVED.incrementAndGet();
      System.err.println("server: " + what + ": request as expected, replied");
      return response;
    } catch (ClassNotFoundException e) {
      FAILED.incrementAndGet();
      throw new IllegalStateException(e.toString(), e);
    } catch (RuntimeException e) {
      FAILED.incrementAndGet();
      System.err.println("server: " + what + ": " + e.getMessage());
      throw e;
    }
  }

  /** Runs keytool (from the running JDK) with the given arguments, failing on a non-zero exit. */
  static void keytool(String... args) throws IOException, InterruptedException {
    String[] command = new String[args.length + 1];
    command[0] = Paths.get(System.getProperty("java.home"), "bin", "keytool").toString();
    System.arraycopy(args, 0, command, 1, args.length);
    Process p = new ProcessBuilder(command).redirectErrorStream(true).start();
    String output = new String(p.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
    if (p.waitFor() != 0) throw new IOException("keytool failed: " + output);
  }

  /** A key store holding a new self-signed certificate, its PEM copied to certFile. */
  static Path selfSignedKeyStore(String password, String certFile) throws Exception {
    Path dir = Files.createTempDirectory("kelo-server-tls");
    dir.toFile().deleteOnExit();
    Path store = dir.resolve("server.p12");
    keytool(
        "-genkeypair", "-alias", "kelo", "-keyalg", "EC", "-groupname", "secp256r1",
        "-validity", "2", "-dname", "CN=127.0.0.1", "-ext", "SAN=ip:127.0.0.1,dns:localhost",
        "-storetype", "PKCS12", "-keystore", store.toString(), "-storepass", password);
    store.toFile().deleteOnExit();
    keytool(
        "-exportcert", "-rfc", "-alias", "kelo", "-keystore", store.toString(), "-storepass",
        password, "-file", certFile);
    return store;
  }

  static final class StopServlet extends HttpServlet {
    private static final long serialVersionUID = 1L;
    final transient CountDownLatch stop = new CountDownLatch(1);

    @Override
    protected void doPost(HttpServletRequest request, HttpServletResponse response) {
      response.setStatus(HttpServletResponse.SC_OK);
      stop.countDown();
    }
  }

  public static void main(String[] args) throws Exception {
    String certFile = null;
    String portFile = null;
    for (int i = 0; i < args.length; ++i) {
      if (args[i].equals("--https") && i + 1 < args.length) {
        certFile = args[++i];
      } else {
        portFile = args[i];
      }
    }
    // Jetty's start and stop notices would bury the exchanges' lines; its warnings stay.
    if (System.getProperty("org.eclipse.jetty.LEVEL") == null) {
      System.setProperty("org.eclipse.jetty.LEVEL", "WARN");
      System.setProperty("org.eclipse.jetty.util.log.announce", "false");
    }
    Server server = new Server();
    ServerConnector http = new ServerConnector(server);
    http.setHost("127.0.0.1");
    server.addConnector(http);
    ServerConnector https = null;
    if (certFile != null) {
      String password = Long.toHexString(new java.security.SecureRandom().nextLong());
      SslContextFactory.Server tls = new SslContextFactory.Server();
      tls.setKeyStorePath(selfSignedKeyStore(password, certFile).toString());
      tls.setKeyStoreType("PKCS12");
      tls.setKeyStorePassword(password);
      https =
          new ServerConnector(
              server, new SslConnectionFactory(tls, "http/1.1"), new HttpConnectionFactory());
      https.setHost("127.0.0.1");
      server.addConnector(https);
    }

    ServletContextHandler context = new ServletContextHandler(ServletContextHandler.NO_SESSIONS);
    context.setContextPath("/");
    for (String[] service : Exchanges.SERVICES) {
      HessianServlet servlet = new HessianServlet();
      servlet.setHomeAPI(Class.forName(service[1]));
      servlet.setHome(Class.forName(service[2]).getDeclaredConstructor().newInstance());
      context.addServlet(new ServletHolder(servlet), service[0]);
    }
    HessianServlet values = new HessianServlet();
    values.setHomeAPI(ValuesApi.class);
    values.setHome(new ValuesService());
    context.addServlet(new ServletHolder(values), "/values");
    StopServlet stop = new StopServlet();
    context.addServlet(new ServletHolder(stop), "/stop");
    server.setHandler(context);
    server.start();

    String urls = "http://127.0.0.1:" + http.getLocalPort() + "\n";
    if (https != null) urls += "https://127.0.0.1:" + https.getLocalPort() + "\n";
    if (portFile != null) {
      Path tmp = Paths.get(portFile + ".tmp");
      Files.write(tmp, urls.getBytes(StandardCharsets.US_ASCII));
      Files.move(tmp, Paths.get(portFile), StandardCopyOption.ATOMIC_MOVE);
    }
    System.out.print("listening on " + urls.replace("\n", " ").trim() + "\n");
    System.out.flush();
    stop.stop.await();
    server.stop();
    System.err.println(
        "server: stopped after " + SERVED.get() + " exchanges, " + FAILED.get() + " failed");
    System.exit(FAILED.get() == 0 ? 0 : 1);
  }
}
