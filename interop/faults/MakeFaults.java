import com.caucho.hessian.client.HessianProxyFactory;
import com.caucho.hessian.io.HessianInput;
import com.caucho.hessian.io.HessianOutput;
import com.caucho.hessian.server.HessianSkeleton;
import com.sun.net.httpserver.HttpServer;
import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.net.InetSocketAddress;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import VarantoTypes.CT_CncId;
import VarantoTypes.CT_MacAddr;

/**
 * Writes the fault replies and calls of interop/testdata/faults/ with Caucho's Hessian (Hessian 1.0):
 *
 * <ul>
 *   <li>java-fault-writeFault.bin: HessianOutput.writeFault(code, message, detail null),
 *       which writes the whole reply.
 *   <li>java-fault-skeleton.bin: the reply HessianSkeleton writes when the service method throws
 *       (code "ServiceException", the exception's message, the exception itself as detail).
 *   <li>java-call-proxy-getTopology.bin: the call a HessianProxyFactory proxy posts for
 *       getTopology(CT_CncId 7, CT_MacAddr 00:11:22:33:44:55), caught by an in-process HTTP server
 *       of the JDK, which answers it through the skeleton (that answer is the skeleton fault).
 *   <li>java-call-headers-getTopology.bin: the same call with two headers, written by
 *       HessianOutput.startCall, writeHeader, writeMethod, completeCall.
 * </ul>
 *
 * Usage: java -cp hessian.jar:CLASSES MakeFaults OUTDIR
 */
public class MakeFaults {
  public interface TopologyApi {
    String getTopology(CT_CncId cnc, CT_MacAddr mac);
  }

  public static class TopologyService implements TopologyApi {
    public String getTopology(CT_CncId cnc, CT_MacAddr mac) {
      throw new IllegalStateException("no topology for cnc " + cnc.value + " (Zürich)");
    }
  }

  static CT_CncId cnc() {
    CT_CncId c = new CT_CncId();
    c.value = 7;
    return c;
  }

  static CT_MacAddr mac() {
    CT_MacAddr m = new CT_MacAddr();
    m.value = new byte[] {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    return m;
  }

  public static void main(String[] args) throws Exception {
    Path dir = Paths.get(args[0]);

    ByteArrayOutputStream fault = new ByteArrayOutputStream();
    HessianOutput out = new HessianOutput(fault);
    // writeFault writes the whole reply ('r' 01 00 'f' ... 'z' 'z'), as the skeleton calls it.
    out.writeFault("NotFound", "no such access point: 00:11:22:33:44:55", null);
    out.flush();
    Files.write(dir.resolve("java-fault-writeFault.bin"), fault.toByteArray());

    ByteArrayOutputStream headers = new ByteArrayOutputStream();
    out = new HessianOutput(headers);
    out.startCall();
    out.writeHeader("session");
    out.writeString("a1b2");
    out.writeHeader("trace");
    out.writeInt(42);
    out.writeMethod("getTopology");
    out.writeObject(cnc());
    out.writeObject(mac());
    out.completeCall();
    out.flush();
    Files.write(dir.resolve("java-call-headers-getTopology.bin"), headers.toByteArray());

    HessianSkeleton skeleton = new HessianSkeleton(new TopologyService(), TopologyApi.class);
    HttpServer server = HttpServer.create(new InetSocketAddress("127.0.0.1", 0), 0);
    server.createContext(
        "/topology",
        exchange -> {
          try {
            byte[] call = exchange.getRequestBody().readAllBytes();
            Files.write(dir.resolve("java-call-proxy-getTopology.bin"), call);
            ByteArrayOutputStream reply = new ByteArrayOutputStream();
            HessianOutput replyOut = new HessianOutput(reply);
            skeleton.invoke(new HessianInput(new ByteArrayInputStream(call)), replyOut);
            replyOut.flush();
            Files.write(dir.resolve("java-fault-skeleton.bin"), reply.toByteArray());
            exchange.sendResponseHeaders(200, reply.size());
            exchange.getResponseBody().write(reply.toByteArray());
          } catch (Exception e) {
            e.printStackTrace();
            exchange.sendResponseHeaders(500, -1);
          }
          exchange.close();
        });
    server.start();
    try {
      HessianProxyFactory factory = new HessianProxyFactory();
      factory.setHessian2Request(false);
      factory.setHessian2Reply(false);
      String url = "http://127.0.0.1:" + server.getAddress().getPort() + "/topology";
      TopologyApi api = (TopologyApi) factory.create(TopologyApi.class, url);
      try {
        api.getTopology(cnc(), mac());
        throw new IllegalStateException("the service was expected to throw");
      } catch (IllegalStateException e) {
        System.out.println("proxy got the service's exception: " + e.getMessage());
      } catch (RuntimeException e) {
        // The proxy need not understand the fault: what is kept is what it sent.
        System.out.println("proxy got: " + e);
      }
    } finally {
      server.stop(0);
    }
  }
}
