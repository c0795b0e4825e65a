import com.caucho.hessian.io.HessianInput;
import com.caucho.hessian.io.HessianOutput;
import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.LinkedHashMap;
import java.util.LinkedList;
import java.util.List;
import java.util.Map;
import java.util.Vector;
import lab.Bag;
import lab.BagLists;
import lab.Holder;

/**
 * Writes the replies of interop/testdata/lists/ with Caucho's Hessian (Hessian 1.0 HessianOutput):
 * objects whose fields are arrays and java.util.Lists of strings, booleans, ints, longs and
 * doubles, and objects whose fields hold any value (see README.md there for what each file holds).
 * Then it checks that Java reads what
 * we write for a java.util.List member: the arrays of Bag under the class name BagLists.
 *
 * <p>Usage: java -cp hessian.jar:CLASSES MakeLists OUTDIR
 */
public class MakeLists {
  static final String[] NAMES = {"roof", null, "", "Z\u00fcrich"};
  static final boolean[] FLAGS = {true, false, true};
  static final int[] COUNTS = {0, -1, Integer.MAX_VALUE, Integer.MIN_VALUE};
  static final long[] TOTALS = {0L, -1L, (1L << 53) + 1, Long.MIN_VALUE};
  static final double[] LEVELS = {0.0, -0.0, 3.25, Double.POSITIVE_INFINITY, Double.MIN_VALUE};

  static void reply(Path dir, String name, Object value) throws Exception {
    ByteArrayOutputStream bytes = new ByteArrayOutputStream();
    HessianOutput out = new HessianOutput(bytes);
    out.startReply();
    out.writeObject(value);
    out.completeReply();
    out.flush();
    Files.write(dir.resolve(name), bytes.toByteArray());
  }

  public static void main(String[] args) throws Throwable {
    Path dir = Paths.get(args[0]);

    Bag bag = new Bag();
    bag.names = NAMES;
    bag.flags = FLAGS;
    bag.counts = COUNTS;
    bag.totals = TOTALS;
    bag.levels = LEVELS;
    reply(dir, "java-reply-lab.Bag-arrays.bin", bag);

    Bag empty = new Bag();
    empty.names = new String[0];
    empty.counts = new int[0];
    reply(dir, "java-reply-lab.Bag-empty.bin", empty);

    // One long string: Java writes it in chunks of 32768 characters.
    Bag chunked = new Bag();
    char[] text = new char[40000];
    for (int i = 0; i < text.length; ++i) text[i] = (char) ('a' + i % 26);
    chunked.names = new String[] {new String(text), "end"};
    reply(dir, "java-reply-lab.Bag-chunked.bin", chunked);

    BagLists lists = new BagLists();
    lists.names = new ArrayList<>(Arrays.asList(NAMES));
    lists.flags = new LinkedList<>(Arrays.asList(true, false, true));
    lists.counts = Arrays.asList(0, -1, Integer.MAX_VALUE, Integer.MIN_VALUE);
    lists.totals = new ArrayList<>(Arrays.asList(0L, -1L, (1L << 53) + 1, Long.MIN_VALUE));
    lists.levels = new Vector<>(Arrays.asList(0.0, -0.0, 3.25, Double.POSITIVE_INFINITY, Double.MIN_VALUE));
    reply(dir, "java-reply-lab.BagLists.bin", lists);

    // Fields of any value. Java numbers the holder 0, tags 1, the list 2, inner 3 (its second
    // appearance is 'R' 3), attrs 4 (its own "self" entry is 'R' 4).
    Map<String, Object> inner = new LinkedHashMap<>();
    inner.put("k", 1);
    List<Object> list = new ArrayList<>(Arrays.asList(1, "x", inner, inner, null, 2.5));
    Map<String, Object> attrs = new LinkedHashMap<>();
    attrs.put("name", "ap");
    attrs.put("when", new java.util.Date(1700000000123L));
    attrs.put("big", 1L << 40);
    attrs.put("self", attrs);
    attrs.put("blob", new byte[] {1, 2, 3});
    Holder holder = new Holder();
    holder.id = 7;
    holder.tags = new String[] {"a", "b"};
    holder.any = list;
    holder.attrs = attrs;
    reply(dir, "java-reply-lab.Holder.bin", holder);

    // One member refers to a map inside another: again is 'R' 3.
    holder.again = inner;
    reply(dir, "java-reply-lab.Holder-shared.bin", holder);

    // A member refers to the object that holds it: any is 'R' 0.
    Holder owner = new Holder();
    owner.any = owner;
    reply(dir, "java-reply-lab.Holder-owner.bin", owner);

    byte[] arrays = Files.readAllBytes(dir.resolve("java-reply-lab.Bag-arrays.bin"));
    ByteArrayOutputStream ours = new ByteArrayOutputStream();
    ours.write(new byte[] {'r', 1, 0, 'M', 't', 0, 12});
    ours.write("lab.BagLists".getBytes("US-ASCII"));
    ours.write(arrays, 3 + 4 + 7, arrays.length - 3 - 4 - 7);
    HessianInput in = new HessianInput(new ByteArrayInputStream(ours.toByteArray()));
    in.startReply();
    BagLists read = (BagLists) in.readObject();
    in.completeReply();
    if (!read.names.equals(lists.names) || !read.flags.equals(lists.flags)
        || !read.counts.equals(lists.counts) || !read.totals.equals(lists.totals)
        || !read.levels.equals(lists.levels))
      throw new IllegalStateException("Java reads Bag's arrays into BagLists differently");
  }
}
