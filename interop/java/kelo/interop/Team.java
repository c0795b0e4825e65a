package kelo.interop;

import java.io.Serializable;
import java.util.List;

/** A class of the values service with a list field; Java writes size first (a primitive). */
public class Team implements Serializable {
  private static final long serialVersionUID = 1L;
  public String name;
  public List<String> members;
  public int size;
}
