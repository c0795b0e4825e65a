import com.caucho.hessian.io.HessianOutput;
import java.io.ByteArrayOutputStream;
import java.io.Serializable;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Date;
import java.util.HashMap;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * Writes the values of interop/testdata/values/ with Caucho's HessianOutput (Hessian 1.0): one bare
 * value per file (writeObject), plus a call and a reply. The unit tests read each, compare it with
 * the value they expect, and write it back byte for byte.
 *
 * Usage: java -cp hessian.jar:CLASSES MakeValues OUTDIR
 */
public class MakeValues {
  /** A class of its own, with a list field and a field that may point back at itself. */
  public static class Node implements Serializable {
    public String name;
    public List<String> tags;
    public Node next;
  }

  static Path dir;

  static void write(String name, Object value) throws Exception {
    ByteArrayOutputStream bytes = new ByteArrayOutputStream();
    HessianOutput out = new HessianOutput(bytes);
    out.writeObject(value);
    out.flush();
    Files.write(dir.resolve(name + ".bin"), bytes.toByteArray());
  }

  public static void main(String[] args) throws Exception {
    dir = Paths.get(args[0]);
    write("int", 42);
    write("int-min", Integer.MIN_VALUE);
    write("long", 1L << 53 | 1);
    write("double", -2.5);
    write("true", true);
    write("null", null);
    write("date", new Date(1700000000123L));
    write("string-ascii", "hello");
    write("string-emoji", "k\u00e9\u20ac\ud83d\ude00");
    write("string-empty", "");
    // 40,000 units: chunked at 32,768, with a surrogate pair across the boundary.
    StringBuilder longText = new StringBuilder();
    for (int i = 0; i < 32767; ++i) longText.append((char) ('a' + i % 26));
    longText.append("\ud83d\ude00");
    while (longText.length() < 40000) longText.append('\u00e9');
    write("string-long", longText.toString());
    byte[] blob = new byte[70000];
    for (int i = 0; i < blob.length; ++i) blob[i] = (byte) (i * 7);
    write("binary-long", blob);
    write("binary-empty", new byte[0]);
    write("string-array", new String[] {"a", null, "\u00fc"});
    write("int-array", new int[] {1, -2, 3});
    write("arraylist", new ArrayList<Object>(Arrays.asList(1, "two", null, 4L, 5.5, false)));
    Map<String, Object> hashMap = new HashMap<>();
    hashMap.put("a", 1);
    hashMap.put("b", Arrays.asList("x", "y"));
    write("hashmap", hashMap);
    write("hashmap-empty", new HashMap<String, Object>());
    Map<Object, Object> keys = new LinkedHashMap<>();
    keys.put(7, "seven");
    keys.put(null, true);
    keys.put(new Date(0), 8L);
    write("map-keys", keys);
    // One map twice: the second is 'R'.
    Map<String, Object> shared = new HashMap<>();
    shared.put("k", "v");
    write("shared", new ArrayList<Object>(Arrays.asList(shared, shared, "end")));
    List<Object> self = new ArrayList<>();
    self.add("me");
    self.add(self);
    write("self-list", self);
    Node node = new Node();
    node.name = "first";
    node.tags = new ArrayList<>(Arrays.asList("t1", "t2"));
    node.next = node;
    write("class-self", node);
    Node second = new Node();
    second.name = "second";
    second.next = node;
    write("class-chain", new Object[] {node, second});

    ByteArrayOutputStream call = new ByteArrayOutputStream();
    HessianOutput out = new HessianOutput(call);
    out.call("add2", new Object[] {shared, "b", shared});
    out.flush();
    Files.write(dir.resolve("call-add2.bin"), call.toByteArray());

    ByteArrayOutputStream reply = new ByteArrayOutputStream();
    out = new HessianOutput(reply);
    out.startReply();
    out.writeObject(Arrays.asList(node, 3));
    out.completeReply();
    out.flush();
    Files.write(dir.resolve("reply-list.bin"), reply.toByteArray());
  }
}
