package lab;

/** A class of a program's own whose members are arrays of strings and numbers. */
public class Bag implements java.io.Serializable {
  public String[] names;
  public boolean[] flags;
  public int[] counts;
  public long[] totals;
  public double[] levels;
}
