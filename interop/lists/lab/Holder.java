package lab;

/** A class of a program's own whose fields hold any value: Object and Map&lt;String, Object&gt;. */
public class Holder implements java.io.Serializable {
  public int id;
  public String[] tags;
  public Object any;
  public java.util.Map<String, Object> attrs;
  public Object again;
}
